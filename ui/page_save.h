// Saving the note editor's text. The text is copied out of the editor here and the editor's
// modified flag and the tab's marker follow the outcome; the page file itself is written by
// storage. The autosave writes the file from a thread of its own, so that typing on a large
// page is not held up by the disk; every other save waits for its outcome, and any save first
// waits for a write still under way.
//
// The current page's file is remembered as the program last read or wrote it. A save with
// nothing new writes nothing, and a file that another program has replaced meanwhile (a sync
// program bringing in a copy from another machine) is never written over unasked.
#pragma once
#include <windows.h>

#include "storage/safe_file.h"

// Posted by the writing thread when its file is written.
constexpr UINT WM_PAGEWRITTEN = WM_APP + 1;

// Who saves, for what a save may do about another program's change of the page file: the user
// may be asked; the timer asks only when no modal window is open; suspend and the end of the
// session ask no one and leave both texts where they are; erasing all pages asks nothing and
// writes.
enum class SaveBy { User, Timer, System, Erase };

// The current page's file as the editor now holds it: read just now, or missing.
void rememberPageFile(bool exists, const FileStamp& stamp);
// Writes the note editor's text into the page file and waits for the outcome. On success the
// tab loses its dirty marker; on failure a beep. Nothing is saved once the program is ending
// or the editor is gone.
bool savePage(int page, SaveBy by = SaveBy::User);
// The timer's save: the program goes on once the text is copied; the outcome is taken in on
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
