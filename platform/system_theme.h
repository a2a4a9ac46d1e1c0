// How Windows wants programs to look, and the ways it offers to draw a window dark. Every call
// of a newer Windows is looked up: where it is missing, the window stays as Windows draws it.
#pragma once
#include <windows.h>

// Windows' app mode is dark (AppsUseLightTheme 0); a missing value or key means light.
bool windowsAppsUseDarkMode();
// A high-contrast scheme is on: the system's colours, never the program's own.
bool systemHighContrast();
// The title bar drawn dark or light, where the window manager can.
void setDarkTitleBar(HWND window, bool dark);
// Scroll bars and the like drawn by the system's dark visual style, or its usual one.
void setDarkControl(HWND control, bool dark);
// The program's menus dark or light, where Windows 10 (build 18362 and later) offers it.
void setDarkMenus(bool dark);
