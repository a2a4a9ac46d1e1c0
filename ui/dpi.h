// The display's scale. The program's pixels are written at 96 DPI and scaled here to the DPI of
// the window they are used in. The calls that tell a window's own DPI came with Windows 10; they
// are looked up, and without them the system's DPI serves for every window.
#pragma once
#include <windows.h>

constexpr UINT BASE_DPI = 96;

UINT systemDpi();
UINT windowDpi(HWND window);
// Pixels written at 96 DPI, at the given DPI.
int scaled(int pixels, UINT dpi);
// A system metric (an icon's size, say) as it is at the given DPI.
int systemMetric(int index, UINT dpi);
// The face of the stock GUI font at the given DPI and size; a size of 0 points is the stock
// font's own. The caller deletes it.
HFONT createGuiFont(UINT dpi, int points);
// The stock GUI font's size in points, as its face is drawn at 96 DPI.
int guiFontPoints();
// One of the program's icons, at the small or the large icon size of the DPI. The caller
// destroys it.
HICON loadIcon(int id, bool small, UINT dpi);
