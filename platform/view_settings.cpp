#include "platform/view_settings.h"

#include "platform/registry_helper.h"

const char* const INSTALL_KEY_PATH = "Software\\Kestrova\\Jotty Notes";
const char* const TEXT_SIZE_VALUE = "TextSize";
const char* const WINDOW_PLACE_VALUE = "WindowPlace";
const char* const THEME_VALUE = "Theme";
const char* const HOTKEY_VALUE = "Hotkey";
const char* const ALWAYS_ON_TOP_VALUE = "AlwaysOnTop";
const char* const DOCUMENTS_RESCUE_VALUE = "TextKeptInDocuments";
const char* const RESCUES_TOLD_VALUE = "TextKeptAtTheEndTold";

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

static bool forgetValue(const char* name) {
    return RegistryHelper().deleteValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name);
}

static bool readBinaryValue(const char* name, void* data, DWORD size) {
    return RegistryHelper().queryBinaryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name, data, size);
}

static bool writeBinaryValue(const char* name, const void* data, DWORD size) {
    RegistryHelper registry;
    return registry.createKey(HKEY_CURRENT_USER, INSTALL_KEY_PATH) &&
           registry.setBinaryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, name, data, size);
}

bool readWindowPlace(WindowPlace& place) {
    return readBinaryValue(WINDOW_PLACE_VALUE, &place, sizeof place) && place.dpi > 0 &&
           place.normal.right > place.normal.left && place.normal.bottom > place.normal.top;
}

void writeWindowPlace(const WindowPlace& place) {
    writeBinaryValue(WINDOW_PLACE_VALUE, &place, sizeof place);
}

void writeDocumentsRescue(const DocumentsRescue& rescue) {
    writeBinaryValue(DOCUMENTS_RESCUE_VALUE, &rescue, sizeof rescue);
}

bool takeDocumentsRescue(DocumentsRescue& rescue) {
    if (!readBinaryValue(DOCUMENTS_RESCUE_VALUE, &rescue, sizeof rescue))
        return false;
    forgetValue(DOCUMENTS_RESCUE_VALUE);
    rescue.file[sizeof rescue.file - 1] = '\0';
    return true;
}

ULONGLONG readRescuesToldUpTo() {
    ULONGLONG keptAt = 0;
    return readBinaryValue(RESCUES_TOLD_VALUE, &keptAt, sizeof keptAt) ? keptAt : 0;
}

void writeRescuesToldUpTo(ULONGLONG keptAt) {
    writeBinaryValue(RESCUES_TOLD_VALUE, &keptAt, sizeof keptAt);
}
