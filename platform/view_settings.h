// The choices kept per user under the program's registry key: how the user last left the window
// (the text size and where the window was). These change no stored file. A new choice is a name
// and a line each to read and to write it.
#pragma once
#include <windows.h>

// The program's key under HKEY_CURRENT_USER, where setup records the install folder.
extern const char* const INSTALL_KEY_PATH;
extern const char* const TEXT_SIZE_VALUE;
extern const char* const WINDOW_PLACE_VALUE;

// A choice of the user's, a REG_DWORD value; the fallback where none of that type is stored.
DWORD readUserChoice(const char* name, DWORD fallback);
// A portable copy has no key of its own until the user first makes a choice. False, with the
// system's error code set, when the choice could not be stored.
bool writeUserChoice(const char* name, DWORD value);
// The choice goes back to what the program takes where none is stored.
bool forgetUserChoice(const char* name);

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
