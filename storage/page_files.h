// The five page files in the Data folder: Data\Page0.txt .. Data\Page4.txt.
#pragma once
#include <windows.h>

#include "storage/data_folder.h"
#include "storage/page_history.h"
#include "storage/safe_file.h"
#include "storage/settings_record.h"

#include <string>

void createDataFolder();
// A save cut short by a crash can leave its temporary file behind; the page file is whole.
void removeLeftoverPageFiles();

// Makes an empty page file where there is none; a file that exists, readable or not, is left
// alone.
void createMissingPageFile(int page);
// How a page file's bytes became the page's text. A page is 8-bit text in the system's code page;
// a file that another editor wrote in UTF-16 or UTF-8 with a byte order mark is converted as it
// is read, and the text of any file ends at its first NUL byte, as the edit control takes it.
enum class PageReading { AsStored, CutAtNul, FromUtf16LE, FromUtf16BE, FromUtf8 };

// Takes a file's bytes as the page's text, converted or cut as a page keeps it.
PageReading readBytesAsPage(std::string& bytes);
// Reads a whole page file (a missing one is an empty page).
FileRead readPageFile(const char* path, std::string& text, FileStamp& stamp,
                      PageReading* reading = nullptr);

struct PageWriteResult {
    bool written = false;
    DWORD error = 0; // why not, as the system says it
    // Why not: the text it would replace needed a version, and none could be kept.
    bool versionNotKept = false;
    FileStamp stamp = {}; // the file written
    // The version that keeps a copy of another program's that the write displaced; empty if none.
    std::string otherProgramsCopy;
};

// Replaces the file with the bytes, and keeps the text it replaces as a version as the request
// and the rules ask; when that fails, the Data folder is made again and the write tried once
// more.
PageWriteResult writePageFile(const char* path, const char* text, DWORD length,
                              const VersionRequest& request);
// Runs at the last moment before a page file is replaced, when a test sets it: another
// program's copy may arrive just then. Every start of the program clears it.
extern void (*&beforePageFileReplaced)(const char* path);

// A text that can stay nowhere else goes to "<product> - <page name> - <date time>.txt" in the
// user's Documents folder; the path written, or empty when not even that could be written.
std::string writeToDocuments(const char* product, const char* pageName, const char* text,
                             DWORD length);
