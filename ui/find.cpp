#include "ui/find.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/on_demand_dll.h"
#include "storage/page_files.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"
#include "ui/text_search.h"

#include <cstring>
#include <string>

const UINT findMessage = RegisterWindowMessageA(FINDMSGSTRINGA);

namespace {

struct FindState {
    FINDREPLACEA request = {};
    char what[256] = {};
    // The options of the last search: down, match case, whole word.
    DWORD flags = FR_DOWN;
    HWND dialog = nullptr;
    bool alphabetKnown = false;
    SearchAlphabet alphabet = {};
    // The text on screen as the last search took it, and the count of changes it was taken at:
    // searches one after another on a page left as it is take it once.
    std::string shown;
    bool shownTaken = false;
    unsigned shownTakenAt = 0;
    // The pages not shown are read into one buffer: fresh memory for each would cost more than
    // the reading.
    std::string pageFile;
};

} // namespace

static ProgramState<FindState> find;

// Case and words as the system's code page has them.
static const SearchAlphabet& codePageAlphabet() {
    if (find.alphabetKnown)
        return find.alphabet;
    for (int byte = 0; byte < 256; ++byte) {
        char folded = static_cast<char>(byte);
        if (byte)
            CharLowerBuffA(&folded, 1);
        find.alphabet.folded[byte] = static_cast<unsigned char>(folded);
        find.alphabet.wordByte[byte] = byte && IsCharAlphaNumericA(static_cast<char>(byte));
    }
    find.alphabetKnown = true;
    return find.alphabet;
}

HWND findDialog() {
    return find.dialog;
}

// A selection within one line is what the user wants to find.
static void takeSelectionAsSearch() {
    DWORD start = 0, end = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    int line = static_cast<int>(SendMessageA(noteEditor, EM_LINEFROMCHAR, start, 0));
    if (start == end || end - start >= sizeof find.what ||
        SendMessageA(noteEditor, EM_LINEFROMCHAR, end, 0) != line)
        return;
    DWORD lineStart = static_cast<DWORD>(SendMessageA(noteEditor, EM_LINEINDEX, line, 0));
    std::string text(end - lineStart + 1, '\0');
    *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(text.size());
    text.resize(SendMessageA(noteEditor, EM_GETLINE, line, reinterpret_cast<LPARAM>(&text[0])));
    if (text.size() >= end - lineStart)
        lstrcpynA(find.what, text.substr(start - lineStart, end - start).c_str(), sizeof find.what);
}

void openFindDialog() {
    if (programEnding)
        return;
    if (find.dialog) {
        SetForegroundWindow(find.dialog);
        return;
    }
    if (!loadDllForWindow(mainWindow, "Find", COMMON_DIALOGS_DLL))
        return;
    takeSelectionAsSearch();
    FINDREPLACEA& request = find.request;
    request = FINDREPLACEA();
    request.lStructSize = sizeof request;
    request.hwndOwner = mainWindow;
    request.lpstrFindWhat = find.what;
    request.wFindWhatLen = sizeof find.what;
    request.Flags = find.flags;
    auto findText = systemDllFunction<decltype(FindTextA)>(COMMON_DIALOGS_DLL, "FindTextA");
    find.dialog = findText ? findText(&request) : nullptr;
}

// A large page's copies are not held once nobody searches.
static void forgetShownText() {
    find.shown = std::string();
    find.shownTaken = false;
    find.pageFile = std::string();
}

void closeFindDialog() {
    if (find.dialog)
        DestroyWindow(find.dialog);
    find.dialog = nullptr;
    forgetShownText();
}

// Reading the page file costs a fraction of copying the text out of the edit control, which keeps
// it in UTF-16. Its bytes are the text on screen only where every byte is a character of its own
// in the system's code page, so that the editor gives back the bytes it was given.
static bool readShownPageFile(std::string& text) {
    CPINFO codePage = {};
    char path[MAX_PATH];
    FileStamp stamp;
    PageReading reading = PageReading::AsStored;
    return GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize == 1 &&
           formatPagePath(path, currentPage) &&
           readPageFile(path, text, stamp, &reading) == FileRead::Loaded &&
           reading == PageReading::AsStored && shownPageIsItsFile(stamp);
}

static const std::string& shownText() {
    if (find.shownTaken && find.shownTakenAt == shownTextChanges())
        return find.shown;
    if (!readShownPageFile(find.shown)) {
        int length = GetWindowTextLengthA(noteEditor);
        find.shown.assign(length + 1, '\0');
        find.shown.resize(GetWindowTextA(noteEditor, &find.shown[0], length + 1));
    }
    find.shownTaken = true;
    find.shownTakenAt = shownTextChanges();
    return find.shown;
}

static void showMatch(size_t at, size_t length) {
    SendMessageA(noteEditor, EM_SETSEL, at, at + length);
    SendMessageA(noteEditor, EM_SCROLLCARET, 0, 0);
}

static void tellNotFound() {
    std::string text = std::string("Cannot find \"") + find.what + "\".";
    messageBox(find.dialog ? find.dialog : mainWindow, text.c_str(), appCaption,
               MB_OK | MB_ICONINFORMATION);
}

// A page not shown is searched in its file as it stands; one that cannot be read is passed over.
static size_t findOnPageFile(int page, const SearchOptions& options) {
    char path[MAX_PATH];
    std::string& text = find.pageFile;
    FileStamp stamp;
    if (!formatPagePath(path, page) || readPageFile(path, text, stamp) != FileRead::Loaded)
        return NO_MATCH;
    return findInText(text.data(), text.size(), find.what, strlen(find.what), options,
                      options.down ? 0 : text.size(), codePageAlphabet());
}

static void findNext(const SearchOptions& options) {
    if (programEnding || !IsWindow(noteEditor) || !find.what[0])
        return;
    size_t length = strlen(find.what);
    const std::string& shown = shownText();
    DWORD start = 0, end = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    size_t from = options.down ? end : start;
    const SearchAlphabet& alphabet = codePageAlphabet();
    size_t at = findInText(shown.data(), shown.size(), find.what, length, options, from, alphabet);
    if (at != NO_MATCH) {
        showMatch(at, length);
        return;
    }
    for (int step = 1; step < PAGE_COUNT; ++step) {
        int page = (currentPage + (options.down ? step : PAGE_COUNT - step)) % PAGE_COUNT;
        at = findOnPageFile(page, options);
        if (at == NO_MATCH)
            continue;
        // Shown as a click on its tab shows it: when the page left cannot be saved, the search
        // stops there and the user stays on it.
        selectTab(page);
        if (showPage(page) == PageSwitch::Shown)
            showMatch(at, length);
        return;
    }
    // The rest of the page on screen, on the other side of the caret.
    at = findInText(shown.data(), shown.size(), find.what, length, options,
                    options.down ? 0 : shown.size(), alphabet);
    if (at != NO_MATCH && (options.down ? at < from : at + length > from))
        showMatch(at, length);
    else
        tellNotFound();
}

static SearchOptions lastOptions(bool down) {
    return {(find.flags & FR_MATCHCASE) != 0, (find.flags & FR_WHOLEWORD) != 0, down};
}

void findAgain(bool down) {
    if (!find.what[0])
        openFindDialog();
    else
        findNext(lastOptions(down));
}

void takeFindMessage(const FINDREPLACEA& request) {
    if (request.Flags & FR_DIALOGTERM) {
        find.dialog = nullptr;
        forgetShownText();
        return;
    }
    if (!(request.Flags & FR_FINDNEXT))
        return;
    find.flags = request.Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD);
    findNext(lastOptions((find.flags & FR_DOWN) != 0));
}
