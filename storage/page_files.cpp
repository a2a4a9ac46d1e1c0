#include "storage/page_files.h"

#include "app/app_state.h"
#include "storage/safe_file.h"

#include <cstring>

bool formatDataFolderPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data", installFolder);
}

bool formatPagePath(char (&path)[MAX_PATH], int page) {
    return page >= 0 && page < PAGE_COUNT &&
           formatPath(path, "%s\\Data\\Page%d.txt", installFolder, page);
}

void createDataFolder() {
    char path[MAX_PATH];
    if (formatDataFolderPath(path))
        CreateDirectoryA(path, nullptr);
}

void removeLeftoverPageFiles() {
    for (int page = 0; page < PAGE_COUNT; ++page) {
        char path[MAX_PATH];
        char temporaryPath[MAX_PATH];
        if (formatPagePath(path, page) && formatTemporaryPath(temporaryPath, path))
            DeleteFileA(temporaryPath);
    }
}

void createMissingPageFile(int page) {
    char path[MAX_PATH];
    if (!formatPagePath(path, page))
        return;
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// An edit control holds less than 2 GB; a larger file is refused rather than cut.
static const DWORD PAGE_SIZE_LIMIT = 0x7FFFFFFE;

FileRead readPageFile(const char* path, std::string& text, FileStamp& stamp) {
    FileRead result = readWholeFile(path, text, PAGE_SIZE_LIMIT, stamp);
    if (result == FileRead::Loaded)
        text.resize(strlen(text.c_str()));
    return result;
}

bool writePageFile(const char* path, const char* text, DWORD length, FileStamp& stamp,
                   const VersionRequest& request, std::string& otherProgramsCopy) {
    PageVersioning versioning(request);
    auto setAside = [&] { versioning.setAside(path, text, length); };
    bool written = replaceFileContents(path, text, length, stamp, setAside);
    if (!written) {
        createDataFolder();
        written = replaceFileContents(path, text, length, stamp, setAside);
    }
    versioning.settle(written, length);
    otherProgramsCopy = versioning.otherProgramsCopy();
    return written;
}
