#include "platform/autostart.h"

#include "app/app_state.h"
#include "platform/registry_helper.h"
#include "storage/settings.h"

const char* const RUN_KEY_PATH = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const PREFERENCES_RUN_VALUE = "JottyNotes";

// A fresh user profile may have no Run key of its own yet.
static void createUserRunKey() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RUN_KEY_PATH, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

static void writeRunValue(const char* name, const char* command) {
    RegistryHelper registry;
    if (registry.setStringValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, name, command)) {
        // A per-user copy left from a start without the rights would start a second copy.
        registry.deleteValue(HKEY_CURRENT_USER, RUN_KEY_PATH, name);
        return;
    }
    createUserRunKey();
    registry.setStringValue(HKEY_CURRENT_USER, RUN_KEY_PATH, name, command);
}

static void removeRunValue(const char* name) {
    RegistryHelper registry;
    registry.deleteValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, name);
    registry.deleteValue(HKEY_CURRENT_USER, RUN_KEY_PATH, name);
}

static void applyRunValue(const char* name, bool startWithWindows) {
    char command[LAUNCH_COMMAND_SIZE];
    if (!startWithWindows)
        removeRunValue(name);
    else if (formatLaunchCommand(command, installFolder))
        writeRunValue(name, command);
}

void applyStartupRunValue() {
    applyRunValue(appCaption, settings.autoStart != 0);
}

void applyAutoStart(HWND dialog, int checkBoxId) {
    bool checked = SendDlgItemMessageA(dialog, checkBoxId, BM_GETCHECK, 0, 0) == BST_CHECKED;
    applyRunValue(PREFERENCES_RUN_VALUE, checked);
    settings.autoStart = checked ? 1 : 0;
    saveSettings();
}
