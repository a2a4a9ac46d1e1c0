// The About dialog: the product name with the version read from the program's own resources.
#pragma once
#include <windows.h>

// "65535.65535.65535 " and its terminator fit with room to spare.
constexpr size_t VERSION_TEXT_SIZE = 28;
constexpr size_t ABOUT_TEXT_SIZE = 256;

INT_PTR showAboutDialog(HWND owner);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Writes the product version of the executable at path as "major.minor.build " (empty when it
// cannot be read) and returns the output.
char* getVersionText(const char* path, char (&output)[VERSION_TEXT_SIZE]);
// Puts the version text in place of the template's first "$", with one space on either side;
// a template without "$" is followed by the version text.
void composeAboutText(const char* aboutTemplate, const char* versionText,
                      char (&text)[ABOUT_TEXT_SIZE]);
