// What is kept per user under the program's registry key: the user's choices of how the window
// looks and where it was (the text size, the window's place, the window menu's choices), and what
// the next start must tell of the last end. These change no stored file. A new choice is a name
// and a line each to read and to write it.
#pragma once
#include <windows.h>

// The program's key under HKEY_CURRENT_USER, where setup records the install folder.
extern const char* const INSTALL_KEY_PATH;
// The text size chosen, in points; 0 for the normal size.
extern const char* const TEXT_SIZE_VALUE;
extern const char* const WINDOW_PLACE_VALUE;
extern const char* const DOCUMENTS_RESCUE_VALUE;
extern const char* const RESCUES_TOLD_VALUE;
extern const char* const THEME_VALUE;
extern const char* const HOTKEY_VALUE;
extern const char* const ALWAYS_ON_TOP_VALUE;

// A choice of the user's, a REG_DWORD value; the fallback where none of that type is stored.
DWORD readUserChoice(const char* name, DWORD fallback);
// A portable copy has no key of its own until the user first makes a choice. False, with the
// system's error code set, when the choice could not be stored.
bool writeUserChoice(const char* name, DWORD value);

// The window's place when it is not maximised, in the screen's pixels at the given DPI.
struct WindowPlace {
    RECT normal;
    UINT dpi;
    BOOL maximized;
};
bool readWindowPlace(WindowPlace& place);
void writeWindowPlace(const WindowPlace& place);

// Text that could not be saved when the program last ended went to a file in the user's
// Documents folder: the page and the file, until the next start has told the user.
struct DocumentsRescue {
    DWORD page;
    char file[MAX_PATH];
};
void writeDocumentsRescue(const DocumentsRescue& rescue);
// Reads the record and removes it; false when there is none.
bool takeDocumentsRescue(DocumentsRescue& rescue);
// The newest version of text not saved at the end that the user has been told of (a FILETIME).
ULONGLONG readRescuesToldUpTo();
void writeRescuesToldUpTo(ULONGLONG keptAt);
