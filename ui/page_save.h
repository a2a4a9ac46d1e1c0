// Loading and saving the note editor's text. The text is copied out of the editor here and the
// editor's modified flag and the tab's marker follow the outcome; the page file itself is
// written by storage. The autosave writes the file from a thread of its own, so that typing on
// a large page is not held up by the disk; every other save waits for its outcome, and any
// save first waits for a write still under way.
#pragma once
#include <windows.h>

#include "storage/safe_file.h"

// Posted by the writing thread when its file is written.
constexpr UINT WM_PAGEWRITTEN = WM_APP + 1;

// Reads the page file into the note editor; a missing file leaves the editor as it is.
FileRead loadPage(int page);
// Writes the note editor's text into the page file and waits for the outcome. On success the
// tab loses its dirty marker; on failure a beep. Nothing is saved once the program is ending
// or the editor is gone.
bool savePage(int page);
// The same save, but the program goes on once the text is copied; the outcome is taken in on
// WM_PAGEWRITTEN, or by the next save.
void savePageInBackground(int page);
// Waits for a write under way and takes in its outcome; false when that write failed.
bool finishPageWrite();
// Takes in the outcome of a write that has ended, without waiting for one that has not.
void takeInFinishedPageWrite();
bool pageWritePending();
// The copy of the text is kept from save to save; it is let go when the page is left or the
// window hidden, so that a large page does not hold it for nothing.
void releaseSaveBuffer();
