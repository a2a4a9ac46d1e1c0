// Saving and showing pages of 1 KB to 50 MB, against their floors:
//   save: savePage of the current page, against one WriteFile of the same bytes to a new file
//         and its flush (the least that a safe save must do);
//   autosave: the timer's save, which writes in the background: the time the program is held
//         up, and the time until its file is written, against the same floor;
//   load: showPage of the page, against one ReadFile of its file and SetWindowTextA of the bytes
//         into a fresh edit control made like the note editor.
// The page left by each timed showPage is empty. A save and the fixed part of a load are also
// taken apart step by step, to show where their time goes.
#include "bench_support.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/settings.h"
#include "support/files.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int EMPTY_PAGE = 0;
constexpr int MEASURED_PAGE = 1;

// A load of tens of megabytes takes Wine's edit control most of a minute, so large pages are
// loaded only a few times; saves take milliseconds, but their flushes vary with the disk's other
// work, so every size is saved many times.
constexpr int SAVE_RUNS = 15;

struct Size {
    size_t bytes;
    int loadRuns;
    double saveTarget;
};

HWND createEditorLike() {
    RECT box;
    GetWindowRect(noteEditor, &box);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&box), 2);
    HWND editor = CreateWindowExA(GetWindowLongA(noteEditor, GWL_EXSTYLE), "EDIT", "",
                                  GetWindowLongA(noteEditor, GWL_STYLE), box.left, box.top,
                                  box.right - box.left, box.bottom - box.top, mainWindow, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(editor, WM_SETFONT, SendMessageA(noteEditor, WM_GETFONT, 0, 0), 0);
    SendMessageA(editor, EM_SETLIMITTEXT, SendMessageA(noteEditor, EM_GETLIMITTEXT, 0, 0), 0);
    return editor;
}

double floorLoad(const std::string& path, size_t bytes) {
    HWND editor = createEditorLike();
    double start = nowMs();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    std::unique_ptr<char[]> text(new char[size + 1]);
    DWORD read = 0;
    ReadFile(file, text.get(), size, &read, nullptr);
    CloseHandle(file);
    text[read] = '\0';
    SetWindowTextA(editor, text.get());
    double took = nowMs() - start;
    require(static_cast<size_t>(GetWindowTextLengthA(editor)) == bytes, "the floor's load");
    DestroyWindow(editor);
    pumpMessages();
    return took;
}

double programLoad(size_t bytes) {
    require(showPage(EMPTY_PAGE) == PageSwitch::Shown, "leaving the measured page");
    pumpMessages();
    double start = nowMs();
    PageSwitch shown = showPage(MEASURED_PAGE);
    double took = nowMs() - start;
    require(shown == PageSwitch::Shown &&
                static_cast<size_t>(GetWindowTextLengthA(noteEditor)) == bytes,
            "showPage");
    pumpMessages();
    return took;
}

double floorSave(const std::string& path, const std::string& text) {
    double start = nowMs();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              FlushFileBuffers(file);
    CloseHandle(file);
    double took = nowMs() - start;
    require(ok && written == text.size(), "the floor's save");
    DeleteFileA(path.c_str());
    return took;
}

// Each save follows a change, as typing makes one: an unchanged page is not written at all.
double programSave() {
    takePageChange();
    double start = nowMs();
    bool saved = savePage(MEASURED_PAGE);
    double took = nowMs() - start;
    require(saved, "savePage");
    return took;
}

// The autosave as the timer makes it: the time the program is held up, and the time until its
// file is written.
void programAutosave(std::vector<double>& held, std::vector<double>& whole) {
    takePageChange();
    double start = nowMs();
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    double returned = nowMs();
    require(pageWritePending(), "the autosave writes in the background");
    bool written = finishPageWrite();
    double end = nowMs();
    require(written, "the autosave");
    held.push_back(returned - start);
    whole.push_back(end - start);
}

// The steps of a save, made with the same calls as the program's, each timed on its own.
struct SaveSteps {
    std::vector<double> copy, write, flush, close, replace;
};

// The text is copied into a buffer kept from run to run, as the program keeps it.
void timeSaveSteps(SaveSteps& steps, std::vector<char>& text, const std::string& target) {
    std::string temporary = target + ".tmp";
    double start = nowMs();
    int length = GetWindowTextLengthA(noteEditor);
    text.resize(length + 1);
    length = GetWindowTextA(noteEditor, text.data(), length + 1);
    double copied = nowMs();
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), length, &written, nullptr);
    double wrote = nowMs();
    FlushFileBuffers(file);
    double flushed = nowMs();
    CloseHandle(file);
    double closed = nowMs();
    bool replaced = MoveFileExA(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    double end = nowMs();
    require(replaced && written == static_cast<DWORD>(length), "the steps of a save");
    steps.copy.push_back(copied - start);
    steps.write.push_back(wrote - copied);
    steps.flush.push_back(flushed - wrote);
    steps.close.push_back(closed - flushed);
    steps.replace.push_back(end - closed);
}

void reportSaveSteps(const std::string& name, const SaveSteps& steps) {
    printf("%-12s copy out of the editor %.2f ms, write %.2f ms, flush %.2f ms, close %.2f ms, "
           "replace %.2f ms\n",
           name.c_str(), median(steps.copy), median(steps.write), median(steps.flush),
           median(steps.close), median(steps.replace));
    printf("BENCH name=%s copy_ms=%.2f write_ms=%.2f flush_ms=%.2f close_ms=%.2f "
           "replace_ms=%.2f\n",
           name.c_str(), median(steps.copy), median(steps.write), median(steps.flush),
           median(steps.close), median(steps.replace));
    fflush(stdout);
}

// What showPage does besides reading the page and setting it into the editor: it saves the page
// being left and the settings file. Timed with the empty page current, as before a timed load.
struct LoadSteps {
    std::vector<double> leave, settings, read;
};

void timeLoadSteps(LoadSteps& steps, const std::string& pageFile) {
    takePageChange();
    double start = nowMs();
    bool saved = savePage(EMPTY_PAGE);
    double left = nowMs();
    bool stored = saveSettings();
    double settled = nowMs();
    std::string text;
    FileStamp stamp;
    FileRead read = readPageFile(pageFile.c_str(), text, stamp);
    double end = nowMs();
    require(saved && stored && read == FileRead::Loaded, "the steps of a load");
    steps.leave.push_back(left - start);
    steps.settings.push_back(settled - left);
    steps.read.push_back(end - settled);
}

void reportLoadSteps(const std::string& name, const LoadSteps& steps) {
    printf("%-12s save of the page left %.2f ms, settings file %.2f ms, read %.2f ms\n",
           name.c_str(), median(steps.leave), median(steps.settings), median(steps.read));
    printf("BENCH name=%s leave_ms=%.2f settings_ms=%.2f read_ms=%.2f\n", name.c_str(),
           median(steps.leave), median(steps.settings), median(steps.read));
    fflush(stdout);
}

void measureSize(const Size& size, int saveRuns, const std::string& folder) {
    std::string text = noteText(size.bytes, static_cast<unsigned>(size.bytes));
    std::string pageFile = pageFilePath(MEASURED_PAGE);
    writeFileBytes(pageFile, text);
    std::string floorFile = folder + "\\Data\\floor.txt";
    std::vector<double> programMs, floorMs;
    for (int run = 0; run < size.loadRuns; ++run) {
        // The order alternates so that neither side always runs first.
        if (run % 2)
            programMs.push_back(programLoad(size.bytes));
        floorMs.push_back(floorLoad(pageFile, size.bytes));
        if (run % 2 == 0)
            programMs.push_back(programLoad(size.bytes));
    }
    reportRatio("load_" + sizeName(size.bytes), programMs, floorMs, 1.3);
    programMs.clear();
    floorMs.clear();
    for (int run = 0; run < saveRuns; ++run) {
        if (run % 2)
            programMs.push_back(programSave());
        floorMs.push_back(floorSave(floorFile, text));
        if (run % 2 == 0)
            programMs.push_back(programSave());
    }
    reportRatio("save_" + sizeName(size.bytes), programMs, floorMs, size.saveTarget);
    require(readFileBytes(pageFile) == text, "the saved page holds the text");
    std::vector<double> heldMs, wholeMs;
    floorMs.clear();
    for (int run = 0; run < saveRuns; ++run) {
        if (run % 2)
            programAutosave(heldMs, wholeMs);
        floorMs.push_back(floorSave(floorFile, text));
        if (run % 2 == 0)
            programAutosave(heldMs, wholeMs);
    }
    reportRatio("autosave_" + sizeName(size.bytes), heldMs, floorMs, size.saveTarget);
    reportRatio("autosave_whole_" + sizeName(size.bytes), wholeMs, floorMs, 0);
    require(readFileBytes(pageFile) == text, "the autosaved page holds the text");
    SaveSteps steps;
    std::vector<char> copy;
    for (int run = 0; run < saveRuns; ++run)
        timeSaveSteps(steps, copy, folder + "\\Data\\steps.txt");
    reportSaveSteps("save_" + sizeName(size.bytes) + "_steps", steps);
    require(showPage(EMPTY_PAGE) == PageSwitch::Shown, "leaving the measured page");
    pumpMessages();
    LoadSteps loadSteps;
    for (int run = 0; run < saveRuns; ++run)
        timeLoadSteps(loadSteps, pageFile);
    reportLoadSteps("load_" + sizeName(size.bytes) + "_steps", loadSteps);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Size> sizes = {
        {1000, 9, 0}, {1000000, 7, 0}, {10000000, 3, 1.3}, {50000000, 3, 1.3}};
    int saveRuns = SAVE_RUNS;
    if (smokeRun(argc, argv)) {
        sizes = {{1000, 1, 0}};
        saveRuns = 1;
    }
    std::string folder = startProgramInNewFolder();
    for (const Size& size : sizes)
        measureSize(size, saveRuns, folder);
    quitAndRemoveFolder(folder);
    return 0;
}
