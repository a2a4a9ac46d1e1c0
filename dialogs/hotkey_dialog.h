// Global Hotkey: the key that shows and hides the notes from any program, or none.
#pragma once
#include <windows.h>

void openHotkeyDialog(HWND owner);
