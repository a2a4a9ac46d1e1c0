// The text search on pages of notes: five pages of 10 MB without a match, and a 50 MB page with
// its match near the end, with and without match case, each against the floor of reading the
// same bytes from their files and memchr-scanning them:
//   search_core_*: findInText alone on the text in memory, the search's own share of a search;
//   search_disk_*: each file read, then findInText on its bytes, as a search takes the pages
//         that are not shown.
//   search_program_*: the program's own Find Next, from the Find dialog, on the same pages as
//         the program keeps them: one page shown, the others in their files; the time until the
//         match is shown, or until the box "Cannot find" is made. A search that follows another
//         on a page left as it is reuses that search's copy of the shown page; the first search
//         after a change copies it out of the editor: search_program_*_after_a_change, with a
//         character typed at the end of the page before each run, outside the timing.
// Whatever reads the files reads into one buffer kept from run to run; the floor scans for NUL,
// which no page holds, so that it looks at every byte. The floor's reading and scanning are also
// given apart.
#include "bench_support.h"

#include "app/app_state.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "support/files.h"
#include "ui/current_page.h"
#include "ui/find.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/text_search.h"

#include <commdlg.h>
#include <cstdio>
#include <cstring>
#include <dlgs.h>

namespace {

constexpr int RUNS = 15;
const char WHAT[] = "holiday";
constexpr size_t WHAT_LENGTH = sizeof WHAT - 1;

struct Pages {
    std::string name;
    std::vector<std::string> texts;
    std::vector<std::string> files;
    // Where the search is found in the last page; NO_MATCH in every page.
    size_t found;
};

Pages makePages(const std::string& folder, int count, size_t bytes, bool matchNearEnd) {
    Pages pages;
    pages.name = (count > 1 ? std::to_string(count) + "x" : "") + sizeName(bytes);
    pages.found = NO_MATCH;
    for (int page = 0; page < count; ++page) {
        std::string text = noteText(bytes, static_cast<unsigned>(bytes) + page);
        if (matchNearEnd && page == count - 1) {
            pages.found = bytes - bytes / 50000 - WHAT_LENGTH; // 1000 bytes before the end at 50 MB
            text.replace(pages.found, WHAT_LENGTH, WHAT);
        }
        pages.files.push_back(folder + "\\page" + std::to_string(page) + ".txt");
        writeFileBytes(pages.files.back(), text);
        pages.texts.push_back(std::move(text));
    }
    return pages;
}

size_t readInto(const std::string& path, std::vector<char>& buffer) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    if (buffer.size() < size)
        buffer.resize(size);
    DWORD read = 0;
    bool ok = ReadFile(file, buffer.data(), size, &read, nullptr);
    CloseHandle(file);
    require(ok && read == size, "reading a page");
    return read;
}

size_t search(const char* text, size_t length, bool matchCase) {
    static const SearchAlphabet alphabet = asciiAlphabet();
    SearchOptions options = {matchCase, false, true};
    return findInText(text, length, WHAT, WHAT_LENGTH, options, 0, alphabet);
}

// The floor's two steps, summed over the pages.
struct FloorTimes {
    double read;
    double scan;
};

FloorTimes floorRun(const Pages& pages, std::vector<char>& buffer) {
    FloorTimes times = {0, 0};
    bool clean = true;
    for (const std::string& file : pages.files) {
        double start = nowMs();
        size_t length = readInto(file, buffer);
        double read = nowMs();
        clean = !memchr(buffer.data(), '\0', length) && clean;
        times.read += read - start;
        times.scan += nowMs() - read;
    }
    require(clean, "the floor's scan");
    return times;
}

double coreRun(const Pages& pages, bool matchCase) {
    double start = nowMs();
    size_t found = NO_MATCH;
    for (const std::string& text : pages.texts)
        found = search(text.data(), text.size(), matchCase);
    double took = nowMs() - start;
    require(found == pages.found, "findInText in memory");
    return took;
}

double diskRun(const Pages& pages, bool matchCase, std::vector<char>& buffer) {
    double start = nowMs();
    size_t found = NO_MATCH;
    for (const std::string& file : pages.files) {
        size_t length = readInto(file, buffer);
        found = search(buffer.data(), length, matchCase);
    }
    double took = nowMs() - start;
    require(found == pages.found, "findInText on the files");
    return took;
}

void measure(const Pages& pages, bool fromDisk, bool matchCase, int runs) {
    std::vector<char> buffer;
    std::vector<double> programMs, floorMs;
    auto program = [&] {
        return fromDisk ? diskRun(pages, matchCase, buffer) : coreRun(pages, matchCase);
    };
    floorRun(pages, buffer); // both sides then find the buffer and the files' cache warm
    for (int run = 0; run < runs; ++run) {
        if (run % 2)
            programMs.push_back(program());
        FloorTimes floor = floorRun(pages, buffer);
        floorMs.push_back(floor.read + floor.scan);
        if (run % 2 == 0)
            programMs.push_back(program());
    }
    reportRatio(std::string("search_") + (fromDisk ? "disk_" : "core_") + pages.name +
                    (matchCase ? "_case" : "_nocase"),
                programMs, floorMs, fromDisk ? 1.5 : 0.5);
}

void reportFloorSteps(const Pages& pages, int runs) {
    std::vector<char> buffer;
    std::vector<double> readMs, scanMs;
    floorRun(pages, buffer);
    for (int run = 0; run < runs; ++run) {
        FloorTimes floor = floorRun(pages, buffer);
        readMs.push_back(floor.read);
        scanMs.push_back(floor.scan);
    }
    std::string name = "search_floor_" + pages.name + "_steps";
    printf("%-24s reading the files %.2f ms, memchr %.2f ms\n", name.c_str(), median(readMs),
           median(scanMs));
    printf("BENCH name=%s read_ms=%.2f scan_ms=%.2f\n", name.c_str(), median(readMs),
           median(scanMs));
    fflush(stdout);
}

double boxShownAt;
HHOOK boxHook;

// "Cannot find" ends the search: its time is taken as the box is made, and the box answered.
LRESULT CALLBACK answerBox(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !boxShownAt &&
        reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent == findDialog())
        boxShownAt = nowMs();
    if (code == HCBT_ACTIVATE && GetWindow(window, GW_OWNER) == findDialog())
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

// Find Next in the Find dialog, from the start of the page shown; the time it took.
double programFind(bool matchCase, bool expectMatch) {
    SendMessageA(noteEditor, EM_SETSEL, 0, 0);
    HWND dialog = findDialog();
    CheckDlgButton(dialog, chx2, matchCase ? BST_CHECKED : BST_UNCHECKED);
    boxShownAt = 0;
    double start = nowMs();
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    double end = boxShownAt ? boxShownAt : nowMs();
    DWORD from = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&from), 0);
    require(expectMatch ? from > 0 && currentPage == 0 : boxShownAt > 0, "the program's Find");
    return end - start;
}

// The pages in the program's own Data folder, the first one shown, and the Find dialog open.
void measureProgram(const std::string& name, const std::vector<std::string>& texts, bool match,
                    int runs) {
    std::string folder = startProgramInNewFolder();
    for (size_t page = 0; page < texts.size(); ++page)
        writeFileBytes(pageFilePath(static_cast<int>(page)), texts[page]);
    require(showPage(0) == PageSwitch::Shown, "showing the first page");
    SendMessageA(mainWindow, WM_COMMAND, IDM_FIND, 0);
    SetDlgItemTextA(findDialog(), edt1, WHAT);
    boxHook = SetWindowsHookExA(WH_CBT, answerBox, nullptr, GetCurrentThreadId());
    std::vector<char> buffer;
    std::vector<std::string> files;
    const char* typed = "x";
    for (size_t page = 0; page < texts.size(); ++page)
        files.push_back(pageFilePath(static_cast<int>(page)));
    Pages floorPages = {name, {}, files, NO_MATCH};
    for (bool afterChange : {false, true}) {
        for (bool matchCase : {true, false}) {
            std::vector<double> programMs, floorMs;
            programFind(matchCase, match);
            for (int run = 0; run < runs; ++run) {
                FloorTimes floor = floorRun(floorPages, buffer);
                floorMs.push_back(floor.read + floor.scan);
                if (afterChange) {
                    int end = GetWindowTextLengthA(noteEditor);
                    SendMessageA(noteEditor, EM_SETSEL, end, end);
                    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
                }
                programMs.push_back(programFind(matchCase, match));
            }
            reportRatio("search_program_" + name + (afterChange ? "_after_a_change" : "") +
                            (matchCase ? "_case" : "_nocase"),
                        programMs, floorMs, 1.5);
        }
    }
    UnhookWindowsHookEx(boxHook);
    quitAndRemoveFolder(folder);
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    size_t pageBytes = smoke ? 1000 : 10000000;
    size_t largeBytes = smoke ? 1000 : 50000000;
    int runs = smoke ? 1 : RUNS;
    std::string folder = makeTemporaryFolder();
    Pages five = makePages(folder, 5, pageBytes, false);
    for (bool matchCase : {true, false}) {
        measure(five, false, matchCase, runs);
        measure(five, true, matchCase, runs);
    }
    reportFloorSteps(five, runs);
    measureProgram(five.name, five.texts, false, smoke ? 1 : 5);
    five = Pages(); // the 32-bit process need not hold both sets of texts
    Pages large = makePages(folder, 1, largeBytes, true);
    for (bool matchCase : {true, false})
        measure(large, false, matchCase, runs);
    reportFloorSteps(large, runs);
    measureProgram(large.name, large.texts, true, smoke ? 1 : 5);
    removeFolder(folder);
    return 0;
}
