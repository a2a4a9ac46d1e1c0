// Registry access: each operation opens its key, does one thing to one value and closes it. On
// failure each returns false with the registry's error code passed to SetLastError.
#pragma once
#include <windows.h>

// Raised by queryStringValue: code 4 for a missing buffer, 1 for a value that is not REG_SZ.
struct RegistryException {
    unsigned code;
};

class RegistryHelper {
  public:
    // The size is the buffer's, and afterwards the value's as the registry reported it.
    bool queryStringValue(HKEY root, const char* keyPath, const char* valueName, char* buffer,
                          DWORD* size);
    // A value of another type or size is refused (ERROR_INVALID_DATATYPE).
    bool queryDwordValue(HKEY root, const char* keyPath, const char* valueName, DWORD& value);
    bool queryBinaryValue(HKEY root, const char* keyPath, const char* valueName, void* data,
                          DWORD size);
    // False with ERROR_FILE_NOT_FOUND when the value or its key is not there.
    bool hasValue(HKEY root, const char* keyPath, const char* valueName);
    bool setStringValue(HKEY root, const char* keyPath, const char* valueName, const char* text);
    bool setDwordValue(HKEY root, const char* keyPath, const char* valueName, DWORD value);
    bool setBinaryValue(HKEY root, const char* keyPath, const char* valueName, const void* data,
                        DWORD size);
    bool deleteValue(HKEY root, const char* keyPath, const char* valueName);
    // The only operation that makes a key: one that is there already is left as it is.
    bool createKey(HKEY root, const char* keyPath);
};
