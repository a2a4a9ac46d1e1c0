#include "platform/launch_command.h"

#include <cstdio>
#include <cstring>

bool formatLaunchCommand(char (&command)[LAUNCH_COMMAND_SIZE], const char* folder) {
    memset(command, 0, sizeof command);
    int length = snprintf(command, sizeof command, "\"%s\\jnotes.exe\" -minimize", folder);
    return length > 0 && length < static_cast<int>(sizeof command);
}
