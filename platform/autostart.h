// Start with Windows: the launch command and the Run values that hold it.
#pragma once
#include <windows.h>

#include "platform/launch_command.h"

extern const char* const RUN_KEY_PATH;
extern const char* const PREFERENCES_RUN_VALUE;

// Each Run value is written under HKEY_LOCAL_MACHINE; a user without the rights there gets it
// under HKEY_CURRENT_USER instead. Removing it removes it from both. Each is false, with the
// system's error code set, when the Run value could not be written or removed.

// At every start: the Run value named after the product.
bool applyStartupRunValue(bool startWithWindows);
// On OK and Apply of Preferences: the Preferences Run value.
bool applyAutoStart(bool startWithWindows);
