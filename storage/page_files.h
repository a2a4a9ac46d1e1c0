// The five page files in the Data folder: Data\Page0.txt .. Data\Page4.txt.
#pragma once
#include <windows.h>

#include "storage/page_history.h"
#include "storage/safe_file.h"
#include "storage/settings_record.h"

#include <string>

bool formatDataFolderPath(char (&path)[MAX_PATH]);
bool formatPagePath(char (&path)[MAX_PATH], int page);

void createDataFolder();
// A save cut short by a crash can leave its temporary file behind; the page file is whole.
void removeLeftoverPageFiles();

// Makes an empty page file where there is none; a file that exists, readable or not, is left
// alone.
void createMissingPageFile(int page);
// Reads a whole page file (a missing one is an empty page); its text ends at the first NUL byte, as
// the edit control takes it.
FileRead readPageFile(const char* path, std::string& text, FileStamp& stamp);
// Replaces the file with the bytes, and keeps the text it replaces as a version as the request
// and the rules ask; when that fails, the Data folder is made again and the write tried once
// more. A copy of another program's that the write displaced is kept as the version named in
// otherProgramsCopy.
bool writePageFile(const char* path, const char* text, DWORD length, FileStamp& stamp,
                   const VersionRequest& request, std::string& otherProgramsCopy);
