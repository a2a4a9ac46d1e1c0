#include "storage/page_files.h"

#include "app/program_state.h"
#include "storage/safe_file.h"

#include <cstdio>
#include <cstring>
#include <shlobj.h>

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

struct ByteOrderMark {
    const char* bytes;
    size_t length;
    PageReading reading;
};

const ByteOrderMark BYTE_ORDER_MARKS[] = {
    {"\xEF\xBB\xBF", 3, PageReading::FromUtf8},
    {"\xFF\xFE", 2, PageReading::FromUtf16LE},
    {"\xFE\xFF", 2, PageReading::FromUtf16BE},
};

static std::wstring wideText(const std::string& bytes, size_t from, PageReading reading) {
    std::wstring wide;
    if (reading == PageReading::FromUtf8) {
        int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from,
                                       static_cast<int>(bytes.size() - from), nullptr, 0);
        wide.resize(size);
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + from, static_cast<int>(bytes.size() - from),
                            &wide[0], size);
        return wide;
    }
    bool bigEndian = reading == PageReading::FromUtf16BE;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        unsigned char first = static_cast<unsigned char>(bytes[i]);
        unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
        wide += static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return wide;
}

// The text as the page keeps it: in the system's code page, as a paste takes it in.
static std::string codePageText(const std::wstring& wide) {
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string text(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size,
                        nullptr, nullptr);
    return text;
}

PageReading readBytesAsPage(std::string& text) {
    PageReading reading = PageReading::AsStored;
    for (const ByteOrderMark& mark : BYTE_ORDER_MARKS) {
        if (text.compare(0, mark.length, mark.bytes, mark.length) == 0) {
            text = codePageText(wideText(text, mark.length, mark.reading));
            reading = mark.reading;
            break;
        }
    }
    if (const void* nul = memchr(text.data(), '\0', text.size())) {
        text.resize(static_cast<const char*>(nul) - text.data());
        if (reading == PageReading::AsStored)
            reading = PageReading::CutAtNul;
    }
    return reading;
}

FileRead readPageFile(const char* path, std::string& text, FileStamp& stamp, PageReading* reading) {
    FileRead result = readWholeFile(path, text, PAGE_SIZE_LIMIT, stamp);
    if (result != FileRead::Loaded)
        return result;
    PageReading how = readBytesAsPage(text);
    if (reading)
        *reading = how;
    return result;
}

namespace {

struct PageFilesState {
    void (*beforePageFileReplaced)(const char* path) = nullptr;
};

} // namespace

static ProgramState<PageFilesState> pageFiles;
void (*&beforePageFileReplaced)(const char* path) = pageFiles.beforePageFileReplaced;

PageWriteResult writePageFile(const char* path, const char* text, DWORD length,
                              const VersionRequest& request) {
    PageWriteResult result;
    PageVersioning versioning(request);
    auto setAside = [&] {
        if (beforePageFileReplaced)
            beforePageFileReplaced(path);
        return versioning.setAside(path, text, length);
    };
    result.written = replaceFileContents(path, text, length, result.stamp, setAside);
    if (!result.written) {
        createDataFolder();
        result.written = replaceFileContents(path, text, length, result.stamp, setAside);
    }
    result.error = result.written ? 0 : GetLastError();
    result.versionNotKept = versioning.heldUpTheSave();
    versioning.settle(result.written, length);
    result.otherProgramsCopy = versioning.otherProgramsCopy();
    return result;
}

// A page name may hold what a file name may not.
static std::string fileNamePart(const char* name) {
    std::string part = name;
    for (char& c : part)
        if (strchr("\\/:*?\"<>|", c) || static_cast<unsigned char>(c) < 32)
            c = '_';
    return part;
}

std::string writeToDocuments(const char* product, const char* pageName, const char* text,
                             DWORD length) {
    char documents[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents) !=
        S_OK)
        return std::string();
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u.%02u.%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    std::string stem =
        std::string(documents) + "\\" + product + " - " + fileNamePart(pageName) + " - " + stamp;
    for (int copy = 1; copy < 100; ++copy) {
        std::string path = stem + (copy > 1 ? " (" + std::to_string(copy) + ")" : "") + ".txt";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return std::string();
        }
        DWORD written = 0;
        bool whole = WriteFile(file, text, length, &written, nullptr) && written == length &&
                     FlushFileBuffers(file);
        CloseHandle(file);
        return whole ? path : std::string();
    }
    return std::string();
}
