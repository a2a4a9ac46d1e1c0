// The About dialog: the product name with the version read from the program's own resources.
#pragma once
#include <windows.h>

INT_PTR showAboutDialog(HWND owner);
