// How the user last left the window, kept per user under the program's registry key: the text
// size and where the window was. These change no stored file.
#pragma once
#include <windows.h>

// The program's key under HKEY_CURRENT_USER, where setup records the install folder.
extern const char* const INSTALL_KEY_PATH;
extern const char* const TEXT_SIZE_VALUE;
extern const char* const WINDOW_PLACE_VALUE;

// The text size chosen, in points; 0 for the normal size.
int readTextSize();
void writeTextSize(int points);

// The window's place when it is not maximised, in the screen's pixels at the given DPI.
struct WindowPlace {
    RECT normal;
    UINT dpi;
    BOOL maximized;
};
bool readWindowPlace(WindowPlace& place);
void writeWindowPlace(const WindowPlace& place);
