#include "platform/view_settings.h"

#include "platform/registry_helper.h"

const char* const INSTALL_KEY_PATH = "Software\\Kestrova\\Jotty Notes";
const char* const TEXT_SIZE_VALUE = "TextSize";
const char* const WINDOW_PLACE_VALUE = "WindowPlace";

DWORD readUserChoice(const char* name, DWORD fallback) {
    DWORD value = 0;
    return RegistryHelper().queryDwordValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name, value)
               ? value
               : fallback;
}

bool writeUserChoice(const char* name, DWORD value) {
    RegistryHelper registry;
    return registry.createKey(HKEY_CURRENT_USER, INSTALL_KEY_PATH) &&
           registry.setDwordValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name, value);
}

bool forgetUserChoice(const char* name) {
    return RegistryHelper().deleteValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name);
}

int readTextSize() {
    return static_cast<int>(readUserChoice(TEXT_SIZE_VALUE, 0));
}

void writeTextSize(int points) {
    if (points)
        writeUserChoice(TEXT_SIZE_VALUE, static_cast<DWORD>(points));
    else
        forgetUserChoice(TEXT_SIZE_VALUE);
}

bool readWindowPlace(WindowPlace& place) {
    return RegistryHelper().queryBinaryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH,
                                             WINDOW_PLACE_VALUE, &place, sizeof place) &&
           place.dpi > 0 && place.normal.right > place.normal.left &&
           place.normal.bottom > place.normal.top;
}

void writeWindowPlace(const WindowPlace& place) {
    RegistryHelper registry;
    if (registry.createKey(HKEY_CURRENT_USER, INSTALL_KEY_PATH))
        registry.setBinaryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, WINDOW_PLACE_VALUE, &place,
                                sizeof place);
}
