#include "ui/page_save.h"

#include "platform/session_end.h"
#include "storage/page_files.h"
#include "storage/page_writer.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"

#include <memory>
#include <new>
#include <string>

namespace {

struct PendingSave {
    bool pending;
    int page;
    bool editorWasModified;
};

} // namespace

static PendingSave pendingSave;
static std::unique_ptr<char[]> savedText;
static DWORD savedTextCapacity;

FileRead loadPage(int page) {
    char path[MAX_PATH];
    std::string text;
    FileRead result = formatPagePath(path, page) ? readPageFile(path, text) : FileRead::Failed;
    if (result == FileRead::Loaded && !SetWindowTextA(noteEditor, text.c_str()))
        return FileRead::Failed;
    return result;
}

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

// False when the save failed before anything was written. True when the file is written or
// its write is under way, or when there is nothing to write.
static bool startSave(int page, bool inBackground) {
    finishPageWrite();
    // A program that is ending has saved already, and a closed editor would give an empty text.
    if (programEnding || !IsWindow(noteEditor))
        return false;
    if (page == currentPage && !currentPageRead) {
        // The editor does not hold this page's notes (its file could not be read), so the
        // file is never written; only text typed since then has nowhere to go.
        if (!editorModified())
            return true;
        MessageBeep(100);
        return false;
    }
    char path[MAX_PATH];
    DWORD length = 0;
    pendingSave.page = page;
    pendingSave.editorWasModified = editorModified();
    if (!formatPagePath(path, page) || !copyEditorText(length)) {
        MessageBeep(100);
        return false;
    }
    // The copy is what goes to disk: text typed from here on marks the page again.
    SendMessageA(noteEditor, EM_SETMODIFY, FALSE, 0);
    pendingSave.pending = true;
    startPageFileWrite(path, savedText.get(), length, inBackground ? mainWindow : nullptr,
                       WM_PAGEWRITTEN);
    return true;
}

static bool takeInOutcome(bool written) {
    if (!written) {
        if (pendingSave.editorWasModified)
            SendMessageA(noteEditor, EM_SETMODIFY, TRUE, 0);
        MessageBeep(100);
        return false;
    }
    if (!editorModified())
        setTabCaption(pendingSave.page, settings.pageNames[pendingSave.page]);
    // Notes that held up the end of the session are safe now.
    allowSessionEnd(mainWindow);
    return true;
}

bool finishPageWrite() {
    if (!pendingSave.pending)
        return true;
    pendingSave.pending = false;
    return takeInOutcome(finishPageFileWrite());
}

void takeInFinishedPageWrite() {
    if (pendingSave.pending && pageFileWriteEnded())
        finishPageWrite();
}

bool pageWritePending() {
    return pendingSave.pending;
}

bool savePage(int page) {
    return startSave(page, false) && finishPageWrite();
}

void savePageInBackground(int page) {
    startSave(page, true);
}

void releaseSaveBuffer() {
    finishPageWrite();
    savedText.reset();
    savedTextCapacity = 0;
}
