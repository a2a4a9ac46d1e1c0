// The five page files in the Data folder: Data\Page0.txt .. Data\Page4.txt.
#pragma once
#include <windows.h>

#include "storage/settings_record.h"

#include <string>

enum class PageRead {
    Loaded,  // the file was read whole
    Missing, // there is no such file: the page is empty
    Failed,  // the file exists but could not be read: it must not be written over
};

bool formatDataFolderPath(char (&path)[MAX_PATH]);
bool formatPagePath(char (&path)[MAX_PATH], int page);

void createDataFolder();
// A save cut short by a crash can leave its temporary file behind; the page file is whole.
void removeLeftoverPageFiles();

// Reads a whole file; its text ends at the first NUL byte, as the edit control takes it.
PageRead readPageText(const char* path, std::string& text);
PageRead readPageFile(const char* path, HWND window);

PageRead loadPage(int page);
