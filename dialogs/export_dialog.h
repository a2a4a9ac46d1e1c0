// Export of pages: copies of page files at places the user picks.
#pragma once
#include <windows.h>

INT_PTR openExportDialog(HWND owner);
void exportPageAs(HWND owner, int page);
void copyPageFile(const char* destination, int page);
