#include "platform/registry_helper.h"

#include <cstring>
#include <functional>

static bool succeeded(LONG status) {
    if (status == ERROR_SUCCESS)
        return true;
    SetLastError(status);
    return false;
}

// Opens the key, acts on it and closes it again; the act's status is the outcome.
static bool withKey(HKEY root, const char* keyPath, REGSAM access,
                    const std::function<LONG(HKEY)>& act) {
    HKEY key;
    if (!succeeded(RegOpenKeyExA(root, keyPath, 0, access, &key)))
        return false;
    LONG status = act(key);
    RegCloseKey(key);
    return succeeded(status);
}

bool RegistryHelper::queryStringValue(HKEY root, const char* keyPath, const char* valueName,
                                      char* buffer, DWORD* size) {
    if (!buffer)
        throw RegistryException{4};
    DWORD type = REG_SZ;
    bool read = withKey(root, keyPath, KEY_READ, [&](HKEY key) {
        return RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                size);
    });
    if (type != REG_SZ)
        throw RegistryException{1};
    return read;
}

// A value of exactly this type and size.
static bool queryValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                       void* data, DWORD size) {
    return withKey(root, keyPath, KEY_QUERY_VALUE, [&](HKEY key) {
        DWORD stored = 0;
        DWORD length = size;
        LONG status =
            RegQueryValueExA(key, valueName, nullptr, &stored, static_cast<BYTE*>(data), &length);
        return status == ERROR_SUCCESS && (stored != type || length != size)
                   ? static_cast<LONG>(ERROR_INVALID_DATATYPE)
                   : status;
    });
}

bool RegistryHelper::queryDwordValue(HKEY root, const char* keyPath, const char* valueName,
                                     DWORD& value) {
    return queryValue(root, keyPath, valueName, REG_DWORD, &value, sizeof value);
}

bool RegistryHelper::queryBinaryValue(HKEY root, const char* keyPath, const char* valueName,
                                      void* data, DWORD size) {
    return queryValue(root, keyPath, valueName, REG_BINARY, data, size);
}

bool RegistryHelper::hasValue(HKEY root, const char* keyPath, const char* valueName) {
    return withKey(root, keyPath, KEY_QUERY_VALUE, [&](HKEY key) {
        return RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, nullptr);
    });
}

static bool setValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                     const void* data, DWORD size) {
    return withKey(root, keyPath, KEY_WRITE, [&](HKEY key) {
        return RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
    });
}

bool RegistryHelper::setStringValue(HKEY root, const char* keyPath, const char* valueName,
                                    const char* text) {
    return setValue(root, keyPath, valueName, REG_SZ, text, static_cast<DWORD>(strlen(text)) + 1);
}

bool RegistryHelper::setDwordValue(HKEY root, const char* keyPath, const char* valueName,
                                   DWORD value) {
    return setValue(root, keyPath, valueName, REG_DWORD, &value, sizeof value);
}

bool RegistryHelper::setBinaryValue(HKEY root, const char* keyPath, const char* valueName,
                                    const void* data, DWORD size) {
    return setValue(root, keyPath, valueName, REG_BINARY, data, size);
}

bool RegistryHelper::deleteValue(HKEY root, const char* keyPath, const char* valueName) {
    return withKey(root, keyPath, KEY_SET_VALUE,
                   [&](HKEY key) { return RegDeleteValueA(key, valueName); });
}

bool RegistryHelper::createKey(HKEY root, const char* keyPath) {
    HKEY key;
    if (!succeeded(
            RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)))
        return false;
    RegCloseKey(key);
    return true;
}
