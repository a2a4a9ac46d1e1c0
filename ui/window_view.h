// The main window's look at the display's scale: the fonts of the tabs and of the note editor,
// the window's icons, the place of its children, the text size the user chose and where the
// window was left. Its pixels are written at 96 DPI and scaled to the window's DPI, and they
// follow the window to a monitor of another scale.
#pragma once
#include <windows.h>

// Sent when the window moves to a monitor of another scale; Windows 8.1 and later.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The window's first place: where the user left it, moved into a monitor that still shows it,
// or else centred on the primary screen, 450 x 480 at 96 DPI.
RECT firstWindowRect(bool& maximized);
// On creation: the fonts and icons for the window's DPI and the text size the user chose.
void setUpView(HWND window);
// The tab strip covers the client area; the note editor lies over its display area.
void layOutChildren(HWND window);
// The window was moved to a monitor of another scale: it takes the suggested place and its
// fonts, icons and layout follow.
void takeNewDpi(HWND window, UINT dpi, const RECT& suggested);
// Larger (+1) or smaller (-1) by a step between 6 and 72 points, or back to the normal size (0);
// kept for the user.
void changeTextSize(int step);
// The window was moved or sized, by the user or any program, or it hides or the program ends:
// the place is kept for the next start, written only when it changed.
void rememberWindowPlace(HWND window);
// Always on Top, kept for the user.
bool alwaysOnTop();
// Checked or unchecked in the window menu: it applies at once and is kept.
void setAlwaysOnTop(HWND window, bool onTop);
// At the window's first showing: a window left on top comes back on top.
void applyAlwaysOnTop(HWND window);
// The window was sized; a maximised or restored window is kept as such for the next start.
void windowSized(HWND window, WPARAM kind);
// The first showing of the window after start-up maximises it when it was left maximised.
bool maximizeAtFirstShowing();
void releaseView();
