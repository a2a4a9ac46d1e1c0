// Whole files: read in one piece, and written so that a failure or a crash never leaves them
// cut short.
#pragma once
#include <windows.h>

#include <string>

enum class FileRead {
    Loaded,  // the file was read whole
    Missing, // there is no such file
    Failed,  // the file exists but could not be read: it must not be written over
};

// Reads the whole file; a file larger than the limit is refused rather than cut.
FileRead readWholeFile(const char* path, std::string& bytes, DWORD limit);
// Reads the file's first bytes, at most count of them.
FileRead readFileStart(const char* path, std::string& bytes, DWORD count);

// Writes the bytes to a new file beside the target, flushes it and renames it over the
// target. On any failure the target keeps its old content and no new file is left behind.
// A read-only target is never replaced, and one held open by another program cannot be.
bool replaceFileContents(const char* path, const void* data, DWORD size);

// The name of the file that replaceFileContents writes before the rename: the same name with
// the extension ".tmp" ("Page0.tmp" for "Page0.txt").
bool formatTemporaryPath(char (&temporaryPath)[MAX_PATH], const char* path);
