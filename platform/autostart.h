// Start with Windows: the launch command and the Run values that hold it.
#pragma once
#include <windows.h>

#include "platform/launch_command.h"

extern const char* const RUN_KEY_PATH;
extern const char* const PREFERENCES_RUN_VALUE;

// Each Run value is written under HKEY_LOCAL_MACHINE; a user without the rights there gets it
// under HKEY_CURRENT_USER instead. Removing it removes it from both.

// At every start: the Run value named after the product follows autoStart.
void applyStartupRunValue();
// On OK and Apply of Preferences: the Preferences Run value and autoStart follow the check box,
// and the settings file is written. False, with the system's error code set, when the Run value
// could not be written or removed, or the settings file not written.
bool applyAutoStart(HWND dialog, int checkBoxId);
