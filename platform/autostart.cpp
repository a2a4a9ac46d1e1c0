#include "platform/autostart.h"

#include "app/app_state.h"
#include "platform/registry_helper.h"
#include "storage/settings.h"

#include <cstdio>
#include <cstring>

const char* const RUN_KEY_PATH = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const PREFERENCES_RUN_VALUE = "JottyNotes";

bool formatLaunchCommand(char (&command)[300], const char* folder) {
    memset(command, 0, sizeof command);
    int length = snprintf(command, sizeof command, "\"%s\\jnotes.exe\" -minimize", folder);
    return length > 0 && length < static_cast<int>(sizeof command);
}

void applyStartupRunValue() {
    RegistryHelper registry;
    char command[300];
    if (settings.autoStart == 0)
        registry.deleteValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, appCaption);
    else if (formatLaunchCommand(command, installFolder))
        registry.setStringValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, appCaption, command);
}
