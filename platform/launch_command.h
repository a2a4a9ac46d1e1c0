// The command line that starts the program with Windows.
#pragma once
#include <cstddef>

constexpr size_t LAUNCH_COMMAND_SIZE = 300;

// "\"<install folder>\jnotes.exe\" -minimize"; false when it does not fit.
bool formatLaunchCommand(char (&command)[LAUNCH_COMMAND_SIZE], const char* folder);
