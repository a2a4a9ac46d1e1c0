// Registry access: each operation opens its key, does one thing to one value and closes it.
#pragma once
#include <windows.h>

// Raised by queryStringValue: code 4 for a missing buffer, 1 for a value that is not REG_SZ.
struct RegistryException {
    unsigned code;
};

class RegistryHelper {
  public:
    // On failure each returns false with the registry's error code passed to SetLastError.
    bool queryStringValue(HKEY root, const char* keyPath, const char* valueName, char* buffer,
                          DWORD* size);
    bool setStringValue(HKEY root, const char* keyPath, const char* valueName, const char* text);
    bool deleteValue(HKEY root, const char* keyPath, const char* valueName);
};
