#include "storage/page_files.h"

#include "app/app_state.h"
#include "storage/safe_file.h"
#include "ui/main_window.h"

#include <cstring>
#include <new>

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

static PageRead openFailure() {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PageRead::Missing
                                                                          : PageRead::Failed;
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

PageRead readPageText(const char* path, std::string& text) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return openFailure();
    PageRead result = PageRead::Failed;
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    // An edit control holds less than 2 GB; a larger file is refused rather than cut.
    if (size != INVALID_FILE_SIZE && sizeHigh == 0 && size < 0x7FFFFFFF) {
        // Read straight into the text: a page of many megabytes is not copied a second time.
        try {
            std::string bytes(size, '\0');
            if (readAll(file, &bytes[0], size)) {
                bytes.resize(strlen(bytes.c_str()));
                text.swap(bytes);
                result = PageRead::Loaded;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    CloseHandle(file);
    return result;
}

PageRead readPageFile(const char* path, HWND window) {
    std::string text;
    PageRead result = readPageText(path, text);
    if (result == PageRead::Loaded && !SetWindowTextA(window, text.c_str()))
        return PageRead::Failed;
    return result;
}

PageRead loadPage(int page) {
    char path[MAX_PATH];
    if (!formatPagePath(path, page))
        return PageRead::Failed;
    return readPageFile(path, noteEditor);
}
