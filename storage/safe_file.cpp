#include "storage/safe_file.h"

#include "storage/data_folder.h"

#include <cstring>
#include <new>

bool formatTemporaryPath(char (&temporaryPath)[MAX_PATH], const char* path) {
    // The extension is replaced, so that every path that fits has a temporary one that fits.
    const char* name = strrchr(path, '\\');
    const char* dot = strrchr(name ? name : path, '.');
    int stem = static_cast<int>(dot ? dot - path : strlen(path));
    return formatPath(temporaryPath, "%.*s.tmp", stem, path);
}

bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow &&
           a.sizeHigh == b.sizeHigh && a.sizeLow == b.sizeLow &&
           CompareFileTime(&a.written, &b.written) == 0;
}

static bool stampOf(HANDLE file, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    stamp = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
             info.nFileSizeHigh,        info.nFileSizeLow,   info.ftLastWriteTime};
    return true;
}

static FileRead openFailure() {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::Missing
                                                                          : FileRead::Failed;
}

FileRead stampFile(const char* path, FileStamp& stamp) {
    // A folder in the file's place holds no file.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FileRead::Missing;
    // No access asked for: a look is never refused by the way another program shares the file.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return openFailure();
    bool stamped = stampOf(file, stamp);
    CloseHandle(file);
    return stamped ? FileRead::Loaded : FileRead::Failed;
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

static bool writeNewFile(const char* path, const void* data, DWORD size, FileStamp& stamp) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = writeAll(file, data, size) && FlushFileBuffers(file) && stampOf(file, stamp);
    return CloseHandle(file) && written;
}

// A file system may set the write time only when the file is closed, so the stamp is taken
// again once the file is in place; a file of another index there is another program's.
static void restampAfterRename(const char* path, FileStamp& stamp) {
    FileStamp placed;
    if (stampFile(path, placed) == FileRead::Loaded && placed.indexHigh == stamp.indexHigh &&
        placed.indexLow == stamp.indexLow && placed.volume == stamp.volume)
        stamp = placed;
}

// Windows refuses to rename over a read-only file; not every platform does (Wine run as root
// would replace it and drop the attribute), so the attribute the user set is honoured here.
static bool isReadOnly(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool replaceFileContents(const char* path, const void* data, DWORD size, FileStamp& stamp,
                         const std::function<bool()>& beforeRename) {
    char temporaryPath[MAX_PATH];
    if (!formatTemporaryPath(temporaryPath, path))
        return false;
    if (isReadOnly(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    bool written =
        writeNewFile(temporaryPath, data, size, stamp) && (!beforeRename || beforeRename());
    if (written &&
        MoveFileExA(temporaryPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        restampAfterRename(path, stamp);
        return true;
    }
    DWORD error = GetLastError();
    DeleteFileA(temporaryPath);
    SetLastError(error);
    return false;
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
static FileRead readFile(const char* path, std::string& bytes, DWORD limit, bool whole,
                         FileStamp& stamp) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return openFailure();
    FileRead result = FileRead::Failed;
    bool stamped = stampOf(file, stamp);
    bool larger = stamp.sizeHigh != 0 || stamp.sizeLow > limit;
    DWORD size = larger ? limit : stamp.sizeLow;
    if (stamped && !(larger && whole)) {
        // Read straight into the result's own storage: a page of many megabytes is not copied a
        // second time, and a caller reading file after file into one string takes fresh memory,
        // which costs more than the reading, only when a file is larger than any before.
        try {
            bytes.resize(size);
            if (readAll(file, &bytes[0], size))
                result = FileRead::Loaded;
        } catch (const std::bad_alloc&) {
        }
    }
    CloseHandle(file);
    if (result != FileRead::Loaded)
        bytes.clear();
    return result;
}

FileRead readWholeFile(const char* path, std::string& bytes, DWORD limit, FileStamp& stamp) {
    return readFile(path, bytes, limit, true, stamp);
}

FileRead readFileStart(const char* path, std::string& bytes, DWORD count, FileStamp& stamp) {
    return readFile(path, bytes, count, false, stamp);
}
