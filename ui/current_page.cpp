#include "ui/current_page.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/autostart.h"
#include "platform/session_end.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "storage/page_writer.h"
#include "storage/settings.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/page_notices.h"
#include "ui/tab_strip.h"
#include "ui/wait_cursor.h"
#include "ui/window_messages.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

// Loading a page of this size takes the edit control a noticeable time.
static const size_t SLOW_LOAD_LENGTH = 256u << 10;
// A waited-for save of this size holds the program up for a noticeable time.
static const DWORD SLOW_SAVE_LENGTH = 4u << 20;

namespace {

// The current page's file as the program last read or wrote it.
struct PageOnDisk {
    bool exists = false;
    FileStamp stamp = {};
};

// A save whose outcome is still to be taken in.
struct PendingSave {
    bool pending = false;
    int page = 0;
    bool wasUnsaved = false;
};

struct CurrentPageState {
    int page = 0;
    bool read = true;
    // Set by every change the editor takes; cleared when a page is loaded and when the text is
    // copied for a save, and set again when that save fails.
    bool unsaved = false;
    PageOnDisk onDisk;
    // The file was converted or cut as it was read: it is kept as a version before the first
    // save that changes it.
    bool keepAsItWas = false;
    // Another program's copy whose arrival has kept the text on screen as a version already.
    bool shownTextKeptForCopy = false;
    FileStamp copyThatArrived = {};
    PendingSave pendingSave;
    unsigned textChanges = 0;
    // A fresh buffer costs a page fault for every 4 KB the copy touches, about a quarter of the
    // copy on a page of megabytes, so the buffer is reused while the text keeps about its size.
    std::unique_ptr<char[]> savedText;
    DWORD savedTextCapacity = 0;
};

} // namespace

static ProgramState<CurrentPageState> page;
const int& currentPage = page.page;
const bool& currentPageRead = page.read;

static void rememberPageFile(bool exists, const FileStamp& stamp) {
    page.onDisk = {exists, stamp};
}

void startWithoutPage() {
    page.read = false;
}

void takePageChange() {
    ++page.textChanges;
    page.unsaved = true;
    markTabUnsaved(page.page);
}

bool pageUnsaved() {
    return page.unsaved;
}

unsigned shownTextChanges() {
    return page.textChanges;
}

bool shownPageIsItsFile(const FileStamp& stamp) {
    return page.read && !page.unsaved && !page.keepAsItWas && !page.pendingSave.pending &&
           page.onDisk.exists && page.onDisk.stamp == stamp;
}

static bool showPageText(const char* text) {
    ++page.textChanges;
    return showLoadedText(text);
}

bool askAboutCurrentPage(const char* format) {
    char text[300];
    snprintf(text, sizeof text, format, settings.pageNames[page.page]);
    return messageBox(mainWindow, text, appCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

static void warnPageUnreadable(int index) {
    char text[200];
    snprintf(text, sizeof text,
             "The notes of \"%s\" could not be read, so the page was left unchanged.\n"
             "Another program may be using its file.",
             settings.pageNames[index]);
    messageBox(mainWindow, text, appCaption, MB_OK | MB_ICONWARNING);
}

static bool copyEditorText(DWORD& length) {
    DWORD needed = static_cast<DWORD>(GetWindowTextLengthA(noteEditor)) + 1;
    if (needed > page.savedTextCapacity || needed < page.savedTextCapacity / 2) {
        releaseSaveBuffer();
        page.savedText.reset(new (std::nothrow) char[needed]);
        if (!page.savedText)
            return false;
        page.savedTextCapacity = needed;
    }
    length = static_cast<DWORD>(GetWindowTextA(noteEditor, page.savedText.get(), needed));
    return true;
}

// The text on screen is kept as a version before another text takes its place; an empty one
// holds nothing to keep.
static bool keepShownTextAsVersion(VersionOccasion occasion) {
    // The copy goes where a write under way takes its bytes from.
    finishPageWrite();
    DWORD length = 0;
    return copyEditorText(length) &&
           (length == 0 || keepTextAsVersion(page.page, page.savedText.get(), length, occasion));
}

// Reads the page file into the note editor and makes the page current (a missing file is an
// empty page); false, with nothing changed, when the file exists but cannot be read.
static bool loadPage(int index, bool storeAsStartPage) {
    char path[MAX_PATH];
    std::string text;
    FileStamp stamp;
    PageReading reading = PageReading::AsStored;
    FileRead read =
        formatPagePath(path, index) ? readPageFile(path, text, stamp, &reading) : FileRead::Failed;
    if (read == FileRead::Failed)
        return false;
    releaseSaveBuffer();
    page.page = index;
    if (storeAsStartPage) {
        setStartPage(index);
        saveSettings();
    }
    {
        WaitCursor wait(text.size() >= SLOW_LOAD_LENGTH);
        page.read = showPageText(text.c_str());
    }
    page.unsaved = false;
    page.keepAsItWas = reading != PageReading::AsStored;
    setTabCaption(index, settings.pageNames[index]);
    rememberPageFile(read == FileRead::Loaded, stamp);
    if (!page.read)
        warnPageUnreadable(index);
    else
        tellPageReadOddly(index, reading);
    return true;
}

// Shows the copy that another program put in place of the current page's file once the text it
// replaces is kept as a version, once for each copy that arrives. The file may be held by the
// program that is writing it: it is shown at a later save, and the text here is kept meanwhile.
// False, with nothing loaded, when the text here could not be kept.
static bool takeInOtherProgramsCopy(const FileStamp& copy) {
    bool kept = page.shownTextKeptForCopy && copy == page.copyThatArrived;
    if (!kept && !keepShownTextAsVersion(VersionOccasion::TakenIn))
        return false;
    page.shownTextKeptForCopy = true;
    page.copyThatArrived = copy;
    loadPage(page.page, false);
    return true;
}

void catchUpOnSettings() {
    if (!readSettingsAgain())
        return;
    for (int index = 0; index < PAGE_COUNT; ++index)
        setTabCaption(index, settings.pageNames[index]);
    if (page.unsaved)
        markTabUnsaved(page.page);
    applyStartupRunValue(settings.autoStart != 0);
    if (editorWraps() != (settings.wordWrap == 1))
        recreateEditor(settings.wordWrap);
}

PageSwitch showPage(int index, bool storeAsStartPage) {
    if (programEnding || index < 0 || index >= PAGE_COUNT)
        return PageSwitch::NotRead;
    if (!saveCurrentPageOrKeep()) {
        selectTab(page.page);
        return PageSwitch::NotSaved;
    }
    catchUpOnSettings();
    if (loadPage(index, storeAsStartPage))
        return PageSwitch::Shown;
    selectTab(page.page);
    warnPageUnreadable(index);
    return PageSwitch::NotRead;
}

// A failed save beeps, and tells why once for each run of failures of the page.
static void reportFailedSave(int index, DWORD error, bool versionNotKept = false) {
    MessageBeep(100);
    tellPageNotSaved(index, error, versionNotKept);
}

// Before the current page is written: true when the save ends here without writing, with its
// outcome in `saved`; false when the text is to be written. The page counts as saved only while
// its file is the one the program last read or wrote and holds the editor's text. Erasing and a
// restore write whatever the file holds. Another program's copy is kept as a version before it
// is written over, and then `replacedTextKept` is set.
static bool settledWithoutWriting(SaveBy by, bool& saved, bool& replacedTextKept) {
    char path[MAX_PATH];
    FileStamp now;
    FileRead look = formatPagePath(path, page.page) ? stampFile(path, now) : FileRead::Failed;
    bool replacesAnyText = by == SaveBy::Erase || by == SaveBy::Restore;
    if (look == FileRead::Failed) {
        // A file that exists but cannot be looked at is never written over. A look refused for a
        // moment (a sync program deleting and renaming) marks no untouched text as typed: the
        // next save looks again.
        saved = !page.unsaved && !replacesAnyText;
        if (!saved)
            reportFailedSave(page.page, GetLastError());
        return true;
    }
    if (look == FileRead::Missing) {
        // The text here is in no file: it is unsaved until the write succeeds.
        takePageChange();
        return false;
    }
    saved = true;
    if (page.onDisk.exists && now == page.onDisk.stamp) {
        if (page.unsaved || replacesAnyText)
            return false;
        setTabCaption(page.page, settings.pageNames[page.page]);
        return true;
    }
    if (!page.unsaved && !replacesAnyText) {
        if (takeInOtherProgramsCopy(now))
            return true;
        // The text here could not be kept: it stays the page, as text typed here would.
        takePageChange();
    }
    // Another program changed the page while it was changed here too: neither text is lost and
    // no one is asked. The text here stays the page; the other one is kept as a version first.
    if (!keepFileAsVersion(page.page, path, VersionOccasion::OtherProgram)) {
        reportFailedSave(page.page, GetLastError(), true);
        saved = false;
        return true;
    }
    tellOtherProgramsCopyKept(page.page);
    rememberPageFile(true, now);
    replacedTextKept = true;
    return false;
}

// What the save does with the text it replaces: the file the program last read or wrote is the
// current page's, and a special occasion keeps that text whatever the time, unless it is kept
// already.
static VersionRequest versionRequest(int index, SaveBy by, bool replacedTextKept) {
    VersionRequest request;
    request.page = index;
    request.occasion = replacedTextKept        ? VersionOccasion::Edits
                       : by == SaveBy::Erase   ? VersionOccasion::EraseAll
                       : by == SaveBy::Restore ? VersionOccasion::Restore
                                               : VersionOccasion::Edits;
    if (index == page.page) {
        if (page.keepAsItWas && !replacedTextKept && request.occasion == VersionOccasion::Edits)
            request.occasion = VersionOccasion::AsItWas;
        request.expected = page.onDisk.exists ? ExpectedFile::Stamped : ExpectedFile::Missing;
        request.expectedStamp = page.onDisk.stamp;
    }
    return request;
}

// False when the save failed before anything was written. True when the file is written or
// its write is under way, or when there is nothing to write.
static bool startSave(int index, bool inBackground, SaveBy by) {
    finishPageWrite();
    // A program that is ending has saved already, and a closed editor would give an empty text.
    if (programEnding || !IsWindow(noteEditor))
        return false;
    if (index == page.page && !page.read) {
        // The editor does not hold this page's notes (its file could not be read), so the
        // file is never written; only text typed since then has nowhere to go.
        if (!page.unsaved)
            return true;
        reportFailedSave(index, ERROR_READ_FAULT);
        return false;
    }
    bool saved = false;
    bool replacedTextKept = false;
    if (index == page.page && settledWithoutWriting(by, saved, replacedTextKept))
        return saved;
    char path[MAX_PATH];
    DWORD length = 0;
    page.pendingSave.page = index;
    page.pendingSave.wasUnsaved = page.unsaved;
    // Erasing writes the empty text; the editor shows it only once its file holds it.
    bool copied = by == SaveBy::Erase || copyEditorText(length);
    if (!formatPagePath(path, index) || !copied) {
        reportFailedSave(index, copied ? ERROR_FILENAME_EXCED_RANGE : ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // The copy is what goes to disk: a change from here on marks the page again. Erasing another
    // page leaves the page on screen as it is.
    if (index == page.page)
        page.unsaved = false;
    page.pendingSave.pending = true;
    WaitCursor wait(!inBackground && length >= SLOW_SAVE_LENGTH);
    startPageFileWrite(path, by == SaveBy::Erase ? "" : page.savedText.get(), length,
                       versionRequest(index, by, replacedTextKept),
                       inBackground ? mainWindow : nullptr, WM_PAGEWRITTEN);
    return true;
}

static bool takeInOutcome(const PageWriteResult& result) {
    const PendingSave& save = page.pendingSave;
    if (!result.written) {
        if (save.wasUnsaved && save.page == page.page)
            takePageChange();
        reportFailedSave(save.page, result.error, result.versionNotKept);
        return false;
    }
    if (save.page == page.page) {
        rememberPageFile(true, result.stamp);
        page.keepAsItWas = false;
    }
    if (!page.unsaved || save.page != page.page)
        setTabCaption(save.page, settings.pageNames[save.page]);
    forgetPageNotSaved(save.page);
    // A copy that another program renamed in while the file was written is kept as a version.
    if (!result.otherProgramsCopy.empty())
        tellOtherProgramsCopyKept(save.page);
    // Notes that held up the end of the session are safe now.
    allowSessionEnd(mainWindow);
    return true;
}

bool finishPageWrite() {
    if (!page.pendingSave.pending)
        return true;
    page.pendingSave.pending = false;
    return takeInOutcome(finishPageFileWrite());
}

void takeInFinishedPageWrite() {
    if (page.pendingSave.pending && pageFileWriteEnded())
        finishPageWrite();
}

bool pageWritePending() {
    return page.pendingSave.pending;
}

bool savePage(int index, SaveBy by) {
    return startSave(index, false, by) && finishPageWrite();
}

bool saveCurrentPageOrKeep() {
    return savePage(page.page) || !page.unsaved;
}

void savePageInBackground(int index) {
    startSave(index, true, SaveBy::Timer);
}

void releaseSaveBuffer() {
    finishPageWrite();
    page.savedText.reset();
    page.savedTextCapacity = 0;
}

bool erasePage(int index) {
    bool current = index == page.page;
    // The current page's file is not written while it could not be read. It is saved first, as
    // any save takes in another program's copy; typing that cannot be saved is kept as a
    // version, so that Previous Versions holds it.
    if (current &&
        (!page.read || (!savePage(index) &&
                        !(page.unsaved && keepShownTextAsVersion(VersionOccasion::EraseAll)))))
        return false;
    if (!savePage(index, SaveBy::Erase))
        return false;
    if (current) {
        showPageText("");
        page.unsaved = false;
        setTabCaption(index, settings.pageNames[index]);
    }
    return true;
}

bool restoreVersion(const std::string& text) {
    // The page is saved first, as any save takes in another program's copy.
    if (programEnding || !IsWindow(noteEditor) || !page.read || !savePage(page.page))
        return false;
    SendMessageA(noteEditor, EM_SETSEL, 0, -1);
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    takePageChange();
    if (savePage(page.page, SaveBy::Restore))
        return true;
    SendMessageA(noteEditor, EM_UNDO, 0, 0);
    page.unsaved = false;
    setTabCaption(page.page, settings.pageNames[page.page]);
    return false;
}

bool rescueUnsavedText() {
    DWORD length = 0;
    if (!page.unsaved || !IsWindow(noteEditor))
        return true;
    finishPageWrite();
    if (!copyEditorText(length))
        return false;
    if (keepTextAsVersion(page.page, page.savedText.get(), length, VersionOccasion::Unsaved))
        return true;
    std::string file =
        writeToDocuments(appCaption, settings.pageNames[page.page], page.savedText.get(), length);
    if (file.empty())
        return false;
    recordTextInDocuments(page.page, file);
    return true;
}
