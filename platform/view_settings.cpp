#include "platform/view_settings.h"

const char* const INSTALL_KEY_PATH = "Software\\Kestrova\\Jotty Notes";
const char* const TEXT_SIZE_VALUE = "TextSize";
const char* const WINDOW_PLACE_VALUE = "WindowPlace";
const char* const THEME_VALUE = "Theme";
const char* const HOTKEY_VALUE = "Hotkey";
const char* const ALWAYS_ON_TOP_VALUE = "AlwaysOnTop";
const char* const DOCUMENTS_RESCUE_VALUE = "TextKeptInDocuments";
const char* const RESCUES_TOLD_VALUE = "TextKeptAtTheEndTold";

static bool readValue(const char* name, DWORD type, void* data, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, INSTALL_KEY_PATH, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD stored = 0;
    DWORD length = size;
    bool read = RegQueryValueExA(key, name, nullptr, &stored, static_cast<BYTE*>(data), &length) ==
                    ERROR_SUCCESS &&
                stored == type && length == size;
    RegCloseKey(key);
    return read;
}

// A portable copy has no key of its own until the user first changes the view. False, with the
// registry's error code set, when the value could not be written.
static bool writeValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, INSTALL_KEY_PATH, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        result = data ? RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size)
                      : RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    SetLastError(static_cast<DWORD>(result));
    return result == ERROR_SUCCESS;
}

bool readChoice(const char* name, DWORD& value) {
    return readValue(name, REG_DWORD, &value, sizeof value);
}

bool writeChoice(const char* name, DWORD value) {
    return writeValue(name, REG_DWORD, &value, sizeof value);
}

int readTextSize() {
    DWORD points = 0;
    return readValue(TEXT_SIZE_VALUE, REG_DWORD, &points, sizeof points) ? static_cast<int>(points)
                                                                         : 0;
}

void writeTextSize(int points) {
    DWORD value = static_cast<DWORD>(points);
    writeValue(TEXT_SIZE_VALUE, REG_DWORD, points ? &value : nullptr, sizeof value);
}

bool readWindowPlace(WindowPlace& place) {
    return readValue(WINDOW_PLACE_VALUE, REG_BINARY, &place, sizeof place) && place.dpi > 0 &&
           place.normal.right > place.normal.left && place.normal.bottom > place.normal.top;
}

void writeWindowPlace(const WindowPlace& place) {
    writeValue(WINDOW_PLACE_VALUE, REG_BINARY, &place, sizeof place);
}

void writeDocumentsRescue(const DocumentsRescue& rescue) {
    writeValue(DOCUMENTS_RESCUE_VALUE, REG_BINARY, &rescue, sizeof rescue);
}

bool takeDocumentsRescue(DocumentsRescue& rescue) {
    if (!readValue(DOCUMENTS_RESCUE_VALUE, REG_BINARY, &rescue, sizeof rescue))
        return false;
    writeValue(DOCUMENTS_RESCUE_VALUE, REG_BINARY, nullptr, 0);
    rescue.file[sizeof rescue.file - 1] = '\0';
    return true;
}

ULONGLONG readRescuesToldUpTo() {
    ULONGLONG keptAt = 0;
    return readValue(RESCUES_TOLD_VALUE, REG_BINARY, &keptAt, sizeof keptAt) ? keptAt : 0;
}

void writeRescuesToldUpTo(ULONGLONG keptAt) {
    writeValue(RESCUES_TOLD_VALUE, REG_BINARY, &keptAt, sizeof keptAt);
}
