// Whole files: read in one piece, and written so that a failure or a crash never leaves them
// cut short.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

enum class FileRead {
    Loaded,  // the file was read whole (or, for a look, found)
    Missing, // there is no such file
    Failed,  // the file exists but could not be read: it must not be written over
};

// What tells one version of a file from another without reading it. A file that another
// program writes anew, or renames over this one as sync programs do, differs in its index, and
// as a rule in its size or write time too.
struct FileStamp {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    DWORD sizeHigh;
    DWORD sizeLow;
    FILETIME written;
};
bool operator==(const FileStamp& a, const FileStamp& b);
inline bool operator!=(const FileStamp& a, const FileStamp& b) {
    return !(a == b);
}

// Looks at a file without reading it, whoever holds it open; a folder in its place is no file.
FileRead stampFile(const char* path, FileStamp& stamp);
// Reads the whole file; a file larger than the limit is refused rather than cut. The stamp is
// that of the file read. Both reads reuse the storage the string has: a file that cannot be
// opened leaves the string as it was, any later failure leaves it empty.
FileRead readWholeFile(const char* path, std::string& bytes, DWORD limit, FileStamp& stamp);
// Reads the file's first bytes, at most count of them.
FileRead readFileStart(const char* path, std::string& bytes, DWORD count, FileStamp& stamp);

// Writes the bytes to a new file beside the target, flushes it and renames it over the
// target. On any failure the target keeps its old content and no new file is left behind.
// A read-only target is never replaced, and one held open by another program cannot be.
// The stamp is that of the file written. What must happen at the last moment before the target
// is replaced runs just before the rename; when it answers false, with the system's error code
// set, the target is left as it is.
bool replaceFileContents(const char* path, const void* data, DWORD size, FileStamp& stamp,
                         const std::function<bool()>& beforeRename = nullptr);

// The name of the file that replaceFileContents writes before the rename: the same name with
// the extension ".tmp" ("Page0.tmp" for "Page0.txt").
bool formatTemporaryPath(char (&temporaryPath)[MAX_PATH], const char* path);
