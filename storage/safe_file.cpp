#include "storage/safe_file.h"

#include "app/app_state.h"

#include <cstring>
#include <new>

bool formatTemporaryPath(char (&temporaryPath)[MAX_PATH], const char* path) {
    // The extension is replaced, so that every path that fits has a temporary one that fits.
    const char* name = strrchr(path, '\\');
    const char* dot = strrchr(name ? name : path, '.');
    int stem = static_cast<int>(dot ? dot - path : strlen(path));
    return formatPath(temporaryPath, "%.*s.tmp", stem, path);
}

static bool writeAll(HANDLE file, const void* data, DWORD size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, next, size, &written, nullptr) || written == 0)
            return false;
        next += written;
        size -= written;
    }
    return true;
}

static bool writeNewFile(const char* path, const void* data, DWORD size) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = writeAll(file, data, size) && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

// Windows refuses to rename over a read-only file; not every platform does (Wine run as root
// would replace it and drop the attribute), so the attribute the user set is honoured here.
static bool isReadOnly(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool replaceFileContents(const char* path, const void* data, DWORD size) {
    char temporaryPath[MAX_PATH];
    if (!formatTemporaryPath(temporaryPath, path))
        return false;
    if (isReadOnly(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    if (writeNewFile(temporaryPath, data, size) &&
        MoveFileExA(temporaryPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD error = GetLastError();
    DeleteFileA(temporaryPath);
    SetLastError(error);
    return false;
}

static FileRead openFailure() {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                          : FileRead::Failed;
}

static bool readAll(HANDLE file, char* buffer, DWORD size) {
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, size, &read, nullptr) || read == 0)
            return false;
        buffer += read;
        size -= read;
    }
    return true;
}

// Reads the file's first bytes, as many as the limit allows; a larger file is cut there, or with
// `whole` refused.
static FileRead readFile(const char* path, std::string& bytes, DWORD limit, bool whole) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return openFailure();
    FileRead result = FileRead::Failed;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    bool larger = size != INVALID_FILE_SIZE && (sizeHigh != 0 || size > limit);
    if (larger && !whole)
        size = limit;
    if (size != INVALID_FILE_SIZE && !(larger && whole)) {
        // Read straight into the result: a page of many megabytes is not copied a second time.
        try {
            std::string read(size, '\0');
            if (readAll(file, &read[0], size)) {
                bytes.swap(read);
                result = FileRead::Loaded;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    CloseHandle(file);
    return result;
}

FileRead readWholeFile(const char* path, std::string& bytes, DWORD limit) {
    return readFile(path, bytes, limit, true);
}

FileRead readFileStart(const char* path, std::string& bytes, DWORD count) {
    return readFile(path, bytes, count, false);
}
