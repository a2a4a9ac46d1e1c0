// The write of a page file, on the caller's thread or on a thread of its own. One write is
// under way at a time: starting another first waits for it.
#pragma once
#include <windows.h>

#include "storage/page_history.h"
#include "storage/safe_file.h"

#include <string>

// Starts writing the bytes into the page file, keeping the text it replaces as the request asks.
// With a window to tell, the write runs on a thread of its own, which posts the message to the
// window when it has ended; the bytes must stay as they are until finishPageFileWrite. Without
// one, or when no thread can be started, the file is written before this returns.
void startPageFileWrite(const char* path, const char* text, DWORD length,
                        const VersionRequest& request, HWND tell, UINT message);
// Waits for the write under way, if any; false when that write failed. The stamp is that of
// the file written; otherProgramsCopy names the version that keeps a copy of another program's
// that the write displaced, if there was one.
bool finishPageFileWrite(FileStamp& stamp, std::string& otherProgramsCopy);
// The started write has ended, so finishPageFileWrite would not wait.
bool pageFileWriteEnded();
