// The write of a page file, on the caller's thread or on a thread of its own. One write is
// under way at a time: starting another first waits for it.
#pragma once
#include <windows.h>

#include "storage/safe_file.h"

// Starts writing the bytes into the page file. With a window to tell, the write runs on a
// thread of its own, which posts the message to the window when it has ended; the bytes must
// stay as they are until finishPageFileWrite. Without one, or when no thread can be started,
// the file is written before this returns.
void startPageFileWrite(const char* path, const char* text, DWORD length, HWND tell, UINT message);
// Waits for the write under way, if any; false when that write failed. The stamp is that of
// the file written.
bool finishPageFileWrite(FileStamp& stamp);
// The started write has ended, so finishPageFileWrite would not wait.
bool pageFileWriteEnded();
