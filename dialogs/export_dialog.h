// Export of pages: copies of page files at places the user picks.
#pragma once
#include <windows.h>

INT_PTR openExportDialog(HWND owner);
// Asks for a destination and copies the page file there. The current page is saved first, so
// the copy holds the text on screen; when that save fails nothing is copied.
void exportPageAs(HWND owner, int page);
