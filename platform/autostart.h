// Start with Windows: the launch command and the Run values that hold it.
#pragma once

extern const char* const RUN_KEY_PATH;
extern const char* const PREFERENCES_RUN_VALUE;

// "\"<install folder>\jnotes.exe\" -minimize"; false when it does not fit the 300 bytes.
bool formatLaunchCommand(char (&command)[300], const char* folder);

// At every start: the Run value named after the product follows autoStart.
void applyStartupRunValue();
