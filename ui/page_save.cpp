#include "ui/page_save.h"

#include "app/app_state.h"
#include "platform/session_end.h"
#include "storage/page_files.h"
#include "storage/page_writer.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"
#include "ui/wait_cursor.h"

#include <memory>
#include <new>

// A waited-for save of this size holds the program up for a noticeable time.
static const DWORD SLOW_SAVE_LENGTH = 4u << 20;

namespace {

struct PendingSave {
    bool pending;
    int page;
    bool editorWasModified;
};

// The current page's file as the program last read or wrote it.
struct PageOnDisk {
    bool exists;
    FileStamp stamp;
};

// What became of another program's change of the page file.
enum class OutsideChange { Shown, Overwrite, Undecided };

} // namespace

static PendingSave pendingSave;
static std::unique_ptr<char[]> savedText;
static DWORD savedTextCapacity;
static PageOnDisk pageOnDisk;
namespace {

// The user's answer about one change of the page file: it is not asked again.
struct ChangeAnswer {
    bool given;
    FileStamp change;
    bool load;
};

} // namespace

static ChangeAnswer changeAnswer;
static bool askingAboutChange;

void rememberPageFile(bool exists, const FileStamp& stamp) {
    pageOnDisk = {exists, stamp};
    changeAnswer.given = false;
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

// Whether unsaved text here may be weighed against the change now: the question is asked once
// at a time, not where no one can answer, and not by the timer inside another modal window.
static bool mayAsk(SaveBy by) {
    return !askingAboutChange &&
           (by == SaveBy::User || (by == SaveBy::Timer && !modalWindowOpen()));
}

// The page file now holds what another program wrote. With nothing unsaved here, it is shown;
// with unsaved text, the user chooses between the two, once for each change.
static OutsideChange takeInOutsideChange(const char* path, const FileStamp& now, SaveBy by) {
    bool answered = changeAnswer.given && now == changeAnswer.change;
    if (editorModified() && !answered) {
        if (!mayAsk(by))
            return OutsideChange::Undecided;
        askingAboutChange = true;
        bool load =
            askAboutCurrentPage("The notes of \"%s\" were changed by another program.\n\n"
                                "Do you want to load them and lose the changes you typed here?");
        askingAboutChange = false;
        // The question's loop lets everything in: the program may be ending, and the file may
        // have changed once more, which the answer was not about.
        FileStamp after;
        if (programEnding || !IsWindow(noteEditor) ||
            (stampFile(path, after) == FileRead::Loaded && after != now))
            return OutsideChange::Undecided;
        changeAnswer = {true, now, load};
    }
    if (editorModified() && !changeAnswer.load)
        return OutsideChange::Overwrite;
    // The file may be held by the program that is writing it: it is shown at a later save.
    return reloadCurrentPage() ? OutsideChange::Shown : OutsideChange::Undecided;
}

// Before the current page is written: true when the save ends here without writing, with its
// outcome in `saved` (nothing is new, another program's change is shown now, or it waits for the
// user); false when the text is to be written.
static bool settledWithoutWriting(SaveBy by, bool& saved) {
    char path[MAX_PATH];
    FileStamp now;
    if (by == SaveBy::Erase || !formatPagePath(path, currentPage) ||
        stampFile(path, now) != FileRead::Loaded)
        return false; // a missing page file is written as before: the text here is its only copy
    if (!pageOnDisk.exists || now != pageOnDisk.stamp) {
        switch (takeInOutsideChange(path, now, by)) {
            case OutsideChange::Overwrite: return false;
            case OutsideChange::Shown: saved = true; return true;
            case OutsideChange::Undecided: saved = !editorModified(); return true;
        }
    }
    saved = true;
    if (editorModified())
        return false;
    setTabCaption(currentPage, settings.pageNames[currentPage]);
    return true;
}

// False when the save failed before anything was written. True when the file is written or
// its write is under way, or when there is nothing to write.
static bool startSave(int page, bool inBackground, SaveBy by) {
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
    bool saved = false;
    if (page == currentPage && settledWithoutWriting(by, saved))
        return saved;
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
    WaitCursor wait(!inBackground && length >= SLOW_SAVE_LENGTH);
    startPageFileWrite(path, savedText.get(), length, inBackground ? mainWindow : nullptr,
                       WM_PAGEWRITTEN);
    return true;
}

static bool takeInOutcome(bool written, const FileStamp& stamp) {
    if (!written) {
        if (pendingSave.editorWasModified)
            SendMessageA(noteEditor, EM_SETMODIFY, TRUE, 0);
        MessageBeep(100);
        return false;
    }
    if (pendingSave.page == currentPage)
        rememberPageFile(true, stamp);
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
    FileStamp stamp;
    bool written = finishPageFileWrite(stamp);
    return takeInOutcome(written, stamp);
}

void takeInFinishedPageWrite() {
    if (pendingSave.pending && pageFileWriteEnded())
        finishPageWrite();
}

bool pageWritePending() {
    return pendingSave.pending;
}

bool savePage(int page, SaveBy by) {
    return startSave(page, false, by) && finishPageWrite();
}

void savePageInBackground(int page) {
    startSave(page, true, SaveBy::Timer);
}

void releaseSaveBuffer() {
    finishPageWrite();
    savedText.reset();
    savedTextCapacity = 0;
}
