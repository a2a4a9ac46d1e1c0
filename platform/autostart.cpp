#include "platform/autostart.h"

#include "app/app_state.h"
#include "platform/registry_helper.h"

const char* const RUN_KEY_PATH = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const PREFERENCES_RUN_VALUE = "JottyNotes";

static bool writeRunValue(const char* name, const char* command) {
    RegistryHelper registry;
    if (registry.setStringValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, name, command)) {
        // A per-user copy left from a start without the rights would start a second copy.
        registry.deleteValue(HKEY_CURRENT_USER, RUN_KEY_PATH, name);
        return true;
    }
    // A fresh user profile may have no Run key of its own yet.
    registry.createKey(HKEY_CURRENT_USER, RUN_KEY_PATH);
    return registry.setStringValue(HKEY_CURRENT_USER, RUN_KEY_PATH, name, command);
}

// True once the value is not there, whether it was removed or never there.
static bool removedFrom(HKEY root, const char* name) {
    RegistryHelper registry;
    if (registry.deleteValue(root, RUN_KEY_PATH, name))
        return true;
    // A delete may be refused where a look is not.
    DWORD error = GetLastError();
    bool gone =
        !registry.hasValue(root, RUN_KEY_PATH, name) && GetLastError() == ERROR_FILE_NOT_FOUND;
    SetLastError(error);
    return gone;
}

static bool removeRunValue(const char* name) {
    bool machine = removedFrom(HKEY_LOCAL_MACHINE, name);
    DWORD error = GetLastError();
    bool user = removedFrom(HKEY_CURRENT_USER, name);
    if (!machine)
        SetLastError(error);
    return machine && user;
}

static bool applyRunValue(const char* name, bool startWithWindows) {
    char command[LAUNCH_COMMAND_SIZE];
    if (!startWithWindows)
        return removeRunValue(name);
    if (!formatLaunchCommand(command, installFolder)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return writeRunValue(name, command);
}

bool applyStartupRunValue(bool startWithWindows) {
    return applyRunValue(appCaption, startWithWindows);
}

bool applyAutoStart(bool startWithWindows) {
    return applyRunValue(PREFERENCES_RUN_VALUE, startWithWindows);
}
