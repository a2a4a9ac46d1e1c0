// What the user is told about a page without a modal window: a balloon beside the tray icon,
// which takes the keyboard from no one who is typing.
#pragma once
#include <windows.h>

#include "storage/page_files.h"

// Another program changed the page too; its text was kept as a version.
void tellOtherProgramsCopyKept(int page);
// The page could not be saved, and why (the system's reason, or a version that the save needed
// and could not keep): once for each run of failures of that page.
void tellPageNotSaved(int page, DWORD error, bool versionNotKept = false);
// The page was saved: its next failure is told again.
void forgetPageNotSaved(int page);
// The page's file was converted or cut as it was read: once a run for each page.
void tellPageReadOddly(int page, PageReading reading);
// Text that could not be saved at the end went to this file in the Documents folder: the next
// start tells the user.
void recordTextInDocuments(int page, const std::string& file);
// At start: where the text went that could not be saved when the program last ended, as a
// version of its page or in the Documents folder; once for each time.
void tellTextKeptAtLastEnd();
