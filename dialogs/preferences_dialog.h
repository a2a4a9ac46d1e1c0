// The Preferences dialog: page names, erasing all notes, help, word wrap, export, start-up.
#pragma once
#include <windows.h>

void openPreferences(HWND owner);
