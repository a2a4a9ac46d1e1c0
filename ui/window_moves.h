// Moves of a window that more than one window of the program makes.
#pragma once
#include <windows.h>

// The window comes in front of the others, shown.
inline void bringWindowForward(HWND window) {
    SetForegroundWindow(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

// A press on the window's free client area drags the window as a press on its title bar does.
inline void dragByClientArea(HWND window) {
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}
