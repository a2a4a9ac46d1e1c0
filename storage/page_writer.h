// The write of a page file, on the caller's thread or on a thread of its own. One write is
// under way at a time: starting another first waits for it.
#pragma once
#include <windows.h>

#include "storage/page_files.h"

// Starts writing the bytes into the page file, keeping the text it replaces as the request asks.
// With a window to tell, the write runs on a thread of its own, which posts the message to the
// window when it has ended; the bytes must stay as they are until finishPageFileWrite. Without
// one, or when no thread can be started, the file is written before this returns.
void startPageFileWrite(const char* path, const char* text, DWORD length,
                        const VersionRequest& request, HWND tell, UINT message);
// Waits for the write under way, if any, and gives its outcome; with none, a write that has
// nothing to report.
PageWriteResult finishPageFileWrite();
// The started write has ended, so finishPageFileWrite would not wait.
bool pageFileWriteEnded();
