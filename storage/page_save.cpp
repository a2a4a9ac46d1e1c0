#include "storage/page_save.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/safe_file.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"

#include <memory>
#include <new>

namespace {

// While a write is under way only the writing thread touches this record and the text.
struct PageWrite {
    bool pending;
    HANDLE thread;
    int page;
    char path[MAX_PATH];
    DWORD length;
    bool editorWasModified;
    bool written;
    LONG ended; // set by the writing thread once its outcome is in place
};

} // namespace

static PageWrite pageWrite;
static std::unique_ptr<char[]> savedText;
static DWORD savedTextCapacity;

// A fresh buffer costs a page fault for every 4 KB the copy touches, about a quarter of the copy
// on a page of megabytes, so the buffer is reused while the text keeps about its size.
static bool copyEditorText(DWORD& length) {
    DWORD needed = static_cast<DWORD>(GetWindowTextLengthA(noteEditor)) + 1;
    if (needed > savedTextCapacity || needed < savedTextCapacity / 2) {
        releaseSaveBuffer();
        savedText.reset(new (std::nothrow) char[needed]);
        if (!savedText)
            return false;
        savedTextCapacity = needed;
    }
    length = static_cast<DWORD>(GetWindowTextA(noteEditor, savedText.get(), needed));
    return true;
}

static void writePageText() {
    pageWrite.written = replaceFileContents(pageWrite.path, savedText.get(), pageWrite.length);
    if (!pageWrite.written) {
        createDataFolder();
        pageWrite.written = replaceFileContents(pageWrite.path, savedText.get(), pageWrite.length);
    }
    InterlockedExchange(&pageWrite.ended, 1);
}

static DWORD WINAPI pageWriterThread(void*) {
    writePageText();
    PostMessageA(mainWindow, WM_PAGEWRITTEN, 0, 0);
    return 0;
}

// False when the save failed before anything was written. True when the file is written or
// its write is under way, or when there is nothing to write.
static bool startPageWrite(int page, bool inBackground) {
    finishPageWrite();
    if (page == currentPage && !currentPageRead) {
        // The editor does not hold this page's notes (its file could not be read), so the
        // file is never written; only text typed since then has nowhere to go.
        if (!editorModified())
            return true;
        MessageBeep(100);
        return false;
    }
    pageWrite.page = page;
    pageWrite.editorWasModified = editorModified();
    if (!formatPagePath(pageWrite.path, page) || !copyEditorText(pageWrite.length)) {
        MessageBeep(100);
        return false;
    }
    // The copy is what goes to disk: text typed from here on marks the page again.
    SendMessageA(noteEditor, EM_SETMODIFY, FALSE, 0);
    pageWrite.pending = true;
    pageWrite.ended = 0;
    // A save that waits for its outcome writes on this thread: a thread costs more than the
    // write of a small page.
    if (inBackground)
        pageWrite.thread = CreateThread(nullptr, 0, pageWriterThread, nullptr, 0, nullptr);
    if (!pageWrite.thread)
        writePageText();
    return true;
}

static bool takeInPageWrite() {
    if (!pageWrite.written) {
        if (pageWrite.editorWasModified)
            SendMessageA(noteEditor, EM_SETMODIFY, TRUE, 0);
        MessageBeep(100);
        return false;
    }
    if (!editorModified())
        setTabCaption(pageWrite.page, settings.pageNames[pageWrite.page]);
    return true;
}

bool finishPageWrite() {
    if (!pageWrite.pending)
        return true;
    if (pageWrite.thread) {
        WaitForSingleObject(pageWrite.thread, INFINITE);
        CloseHandle(pageWrite.thread);
        pageWrite.thread = nullptr;
    }
    pageWrite.pending = false;
    return takeInPageWrite();
}

void takeInFinishedPageWrite() {
    if (pageWrite.pending && InterlockedCompareExchange(&pageWrite.ended, 0, 0))
        finishPageWrite();
}

bool pageWritePending() {
    return pageWrite.pending;
}

bool savePage(int page) {
    return startPageWrite(page, false) && finishPageWrite();
}

void savePageInBackground(int page) {
    startPageWrite(page, true);
}

void releaseSaveBuffer() {
    finishPageWrite();
    savedText.reset();
    savedTextCapacity = 0;
}
