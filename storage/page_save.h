// Saving the note editor's text into a page file. The autosave writes the file from a thread
// of its own, so that typing on a large page is not held up by the disk; every other save
// waits for its outcome, and any save first waits for a write still under way.
#pragma once
#include <windows.h>

// Posted by the writing thread when its file is written.
constexpr UINT WM_PAGEWRITTEN = WM_APP + 1;

// Writes the note editor's text into the page file and waits for the outcome. On success the
// tab loses its dirty marker; on failure the Data folder is made again and the write retried
// once, then a beep.
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
