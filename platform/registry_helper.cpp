#include "platform/registry_helper.h"

#include <cstring>

static bool succeeded(LONG status) {
    if (status == ERROR_SUCCESS)
        return true;
    SetLastError(status);
    return false;
}

bool RegistryHelper::queryStringValue(HKEY root, const char* keyPath, const char* valueName,
                                      char* buffer, DWORD* size) {
    if (!buffer)
        throw RegistryException{4};
    DWORD valueSize = *size;
    DWORD type = REG_SZ;
    HKEY key;
    LONG status = RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key);
    if (!succeeded(status))
        return false;
    status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                              &valueSize);
    RegCloseKey(key);
    *size = valueSize;
    if (type != REG_SZ)
        throw RegistryException{1};
    return succeeded(status);
}

bool RegistryHelper::setStringValue(HKEY root, const char* keyPath, const char* valueName,
                                    const char* text) {
    DWORD size = static_cast<DWORD>(strlen(text)) + 1;
    HKEY key;
    LONG status = RegOpenKeyExA(root, keyPath, 0, KEY_WRITE, &key);
    if (!succeeded(status))
        return false;
    status = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
    RegCloseKey(key);
    return succeeded(status);
}

bool RegistryHelper::deleteValue(HKEY root, const char* keyPath, const char* valueName) {
    HKEY key;
    LONG status = RegOpenKeyExA(root, keyPath, 0, KEY_SET_VALUE, &key);
    if (!succeeded(status))
        return false;
    status = RegDeleteValueA(key, valueName);
    RegCloseKey(key);
    return succeeded(status);
}
