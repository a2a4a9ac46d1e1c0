// The About dialog: the product name with the version read from the program's own resources.
#pragma once
#include <windows.h>

#include "dialogs/about_text.h"

INT_PTR showAboutDialog(HWND owner);
// Writes the product version of the executable at path as "major.minor.build " (empty when it
// cannot be read) and returns the output.
char* getVersionText(const char* path, char (&output)[VERSION_TEXT_SIZE]);
