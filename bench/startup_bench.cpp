// Start-up of jnotes.exe against the bare floor program, both started the same way: the time
// from CreateProcess to the message loop idle and the main window shown, and the private bytes
// held at that moment. Then start-up step by step: the program's own start-up code run in a
// process of its own, as jnotes.exe runs it, with the end of each step timed. Then start-up on a
// 1 MB and a 10 MB start page against Wine's notepad opening the same file, both timed to a shown
// window that answers. Then start-up in the dark theme against the light one, and the global
// hotkey against a bare window that shows itself on the same message.
#include "bench_support.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "app/startup_steps.h"
#include "platform/view_settings.h"
#include "res/resource.h"
#include "support/files.h"
#include "ui/note_editor.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

namespace {

struct Candidate {
    std::string commandLine;
    // The message that ends it: the quit command for jnotes.exe (closing only hides it).
    UINT endMessage;
    WPARAM endParameter;
    std::vector<double> startMs;
    std::vector<double> privateKb;
    // The window menu's theme that the user has chosen for this candidate's starts; none kept
    // when -1.
    int theme = -1;
};

BOOL CALLBACK findShownWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND waitForShownWindow(DWORD thread, DWORD milliseconds) {
    double deadline = nowMs() + milliseconds;
    while (nowMs() < deadline) {
        HWND window = nullptr;
        EnumThreadWindows(thread, findShownWindow, reinterpret_cast<LPARAM>(&window));
        if (window)
            return window;
        Sleep(1);
    }
    return nullptr;
}

bool startProcess(std::string commandLine, const std::string& folder,
                  PROCESS_INFORMATION& process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process) != FALSE;
}

// Starts the program once in the folder and ends it again; false when it did not come up or
// did not end.
bool startOnce(Candidate& candidate, const std::string& folder, bool record) {
    const char* name = candidate.commandLine.c_str();
    PROCESS_INFORMATION process = {};
    if (candidate.theme >= 0)
        writeUserChoice(THEME_VALUE, static_cast<DWORD>(candidate.theme));
    double start = nowMs();
    if (!startProcess(candidate.commandLine, folder, process)) {
        fprintf(stderr, "%s could not be started\n", name);
        return false;
    }
    WaitForInputIdle(process.hProcess, 30000);
    HWND window = waitForShownWindow(process.dwThreadId, 60000);
    DWORD_PTR answer;
    bool answers =
        window && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &answer);
    double shown = nowMs();
    long long bytes = privateBytes(process.hProcess);
    bool ended = false;
    if (answers) {
        PostMessageA(window, candidate.endMessage, candidate.endParameter, 0);
        ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    }
    if (!ended) {
        fprintf(stderr, "%s: %s\n", name, answers ? "did not end" : "showed no window");
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (record && ended) {
        candidate.startMs.push_back(shown - start);
        candidate.privateKb.push_back(static_cast<double>(bytes / 1024));
    }
    return ended;
}

// Starts each candidate once uncounted (Wine's libraries come from disk the first time), then
// the counted runs, alternating so that neither always follows the other. The other candidate
// may start in a folder of its own.
bool compare(Candidate& program, Candidate& other, const std::string& folder, int runs, bool warmUp,
             const std::string& otherFolder = std::string()) {
    const std::string& elsewhere = otherFolder.empty() ? folder : otherFolder;
    bool ok = !warmUp || (startOnce(program, folder, false) && startOnce(other, elsewhere, false));
    for (int run = 0; ok && run < runs; ++run) {
        if (run % 2)
            ok = startOnce(program, folder, true) && startOnce(other, elsewhere, true);
        else
            ok = startOnce(other, elsewhere, true) && startOnce(program, folder, true);
    }
    return ok;
}

// A thousand versions of each page, as years of notes leave them.
void plantVersions(const std::string& folder, int count) {
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Data\\History").c_str(), nullptr);
    for (int page = 0; page < 5; ++page) {
        std::string versions = folder + "\\Data\\History\\Page" + std::to_string(page);
        CreateDirectoryA(versions.c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            char name[64];
            snprintf(name, sizeof name, "\\20261101-%02d%02d%02d-000-%08x.txt", i / 3600 % 24,
                     i / 60 % 60, i % 60, i);
            writeFileBytes(versions + name, noteText(2000, i));
        }
    }
}

// Lines of 78 capital letters, each ended by CR LF.
std::string capitalsText(size_t bytes) {
    std::string text;
    text.reserve(bytes + 80);
    for (int line = 0; text.size() < bytes; ++line) {
        for (int column = 0; column < 78; ++column)
            text += static_cast<char>('A' + (line + column) % 26);
        text += "\r\n";
    }
    text.resize(bytes);
    return text;
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// The ends of the steps of one start, in their order.
std::vector<std::pair<std::string, double>> stepEnds;

void watchStep(const char* step) {
    stepEnds.push_back({step, nowMs()});
}

// One start of the program's code in this process, started by the benchmark at startMs in the
// install folder: the time to this entry point, each step of start-up, and what the message loop
// does before it first waits. Also the first load of comdlg32.dll, which start-up no longer
// makes. Written as "step=ms ..." to steps.txt in the folder.
int timeStepsOfOneStart(double startMs) {
    stepEnds.push_back({"process_start_to_entry_point", nowMs()});
    startupStepWatcher = watchStep;
    if (startProgram(GetModuleHandleA(nullptr), "") != StartResult::Running)
        return 1;
    pumpMessages();
    watchStep("message_loop_until_idle");
    startupStepWatcher = nullptr;
    double before = nowMs();
    bool loaded = GetModuleHandleA("comdlg32.dll") == nullptr && LoadLibraryA("comdlg32.dll");
    double comdlg32 = loaded ? nowMs() - before : -1;
    quitProgram();
    FILE* file = fopen("steps.txt", "w");
    if (!file)
        return 1;
    double last = startMs;
    for (const auto& end : stepEnds) {
        fprintf(file, "%s=%.3f ", end.first.c_str(), end.second - last);
        last = end.second;
    }
    fprintf(file, "comdlg32_first_load=%.3f\n", comdlg32);
    return fclose(file) == 0 ? 0 : 1;
}

// The steps of start-up, as medians of runs of timeStepsOfOneStart in processes of their own.
bool timeStartupSteps(const std::string& folder, int runs) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;
    std::string stepsFile = folder + "\\steps.txt";
    for (int run = 0; run < runs; ++run) {
        DeleteFileA(stepsFile.c_str());
        char start[32];
        snprintf(start, sizeof start, "%.3f", nowMs());
        PROCESS_INFORMATION process = {};
        if (!startProcess(quoted(executableFolder() + "\\bench_startup.exe") + " --steps " + start,
                          folder, process))
            return false;
        bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        if (!ended)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::string steps = readFileBytes(stepsFile);
        if (!ended || code != 0 || steps.empty()) {
            fprintf(stderr, "a timed start failed\n");
            return false;
        }
        char* rest = &steps[0];
        for (char* pair = strtok(rest, " \r\n"); pair; pair = strtok(nullptr, " \r\n")) {
            char* equals = strchr(pair, '=');
            if (!equals)
                continue;
            *equals = '\0';
            if (!times.count(pair))
                order.push_back(pair);
            times[pair].push_back(atof(equals + 1));
        }
    }
    DeleteFileA(stepsFile.c_str());
    printf("Start-up step by step (ms, medians of %d starts):\n", runs);
    double total = 0;
    for (const std::string& step : order) {
        double ms = median(times[step]);
        if (step == "comdlg32_first_load")
            continue;
        total += ms;
        printf("  %-32s %8.2f\n", step.c_str(), ms);
        printf("BENCH name=startup_step_%s ms=%.2f\n", step.c_str(), ms);
    }
    printf("  %-32s %8.2f\n", "sum", total);
    printf("BENCH name=startup_steps_sum ms=%.2f\n", total);
    printf("  comdlg32.dll on first use, a load that start-up no longer makes: %.2f ms\n",
           median(times["comdlg32_first_load"]));
    printf("BENCH name=startup_comdlg32_first_load ms=%.2f\n",
           median(times["comdlg32_first_load"]));
    fflush(stdout);
    return true;
}

// The floor of the hotkey: a window holding a tab control and an edit control that, on the
// hotkey's message, shows itself, comes to the front and gives its edit the keyboard; closing it
// hides it, as closing the program's window does.
LRESULT CALLBACK hotkeyFloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (message == WM_HOTKEY) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(GetDlgItem(window, 2));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createHotkeyFloor() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = hotkeyFloorProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "HotkeyFloor";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "HotkeyFloor", "Floor", WS_OVERLAPPEDWINDOW, 100, 100, 450,
                                  480, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 0, 0, 434, 441, window,
                    reinterpret_cast<HMENU>(1), nullptr, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 5, 28, 424,
                    411, window, reinterpret_cast<HMENU>(2), nullptr, nullptr);
    return window;
}

// The time from the message to its return, the window shown in front with the keyboard where
// the hotkey puts it; each window closed (hidden) beforehand, outside the timing.
double timeHotkeyOnce(HWND window, const std::function<bool()>& shown) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    pumpMessages();
    double start = nowMs();
    SendMessageA(window, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'J'));
    double end = nowMs();
    require(shown(), "the window is shown with the keyboard in its editor");
    pumpMessages();
    return end - start;
}

// The program's own code in this process, as the tests run it, on a page of notes.
void timeHotkey(int runs) {
    std::string folder = startProgramInNewFolder();
    SetWindowTextA(noteEditor, noteText(4000, 3).c_str());
    HWND floor = createHotkeyFloor();
    std::vector<double> program, bare;
    for (int run = 0; run <= runs; ++run) {
        double programMs = timeHotkeyOnce(
            mainWindow, [] { return IsWindowVisible(mainWindow) && GetFocus() == noteEditor; });
        double floorMs = timeHotkeyOnce(floor, [floor] {
            return IsWindowVisible(floor) && GetFocus() == GetDlgItem(floor, 2);
        });
        // The first of each comes before any was timed.
        if (run > 0) {
            program.push_back(programMs);
            bare.push_back(floorMs);
        }
    }
    DestroyWindow(floor);
    quitAndRemoveFolder(folder);
    reportRatio("hotkey_to_shown_window", program, bare, 1.1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "--steps") == 0)
        return timeStepsOfOneStart(atof(argv[2]));
    bool smoke = smokeRun(argc, argv);
    int runs = smoke ? 1 : 15;
    std::string program = quoted(executableFolder() + "\\jnotes.exe");
    Candidate jnotes = {program, WM_COMMAND, IDM_EXIT, {}, {}};
    Candidate floor = {quoted(executableFolder() + "\\bench_floor.exe"), WM_CLOSE, 0, {}, {}};
    std::string folder = makeTemporaryFolder();
    deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE);
    // Every counted start finds its files as a user's daily start does: nothing to write.
    bool ok = compare(jnotes, floor, folder, runs, !smoke);
    if (ok)
        reportRatio("startup", jnotes.startMs, floor.startMs, 1.1);
    ok = ok && timeStartupSteps(folder, runs);

    // The same start with a thousand versions of every page on disk: none of them is read.
    int versions = smoke ? 10 : 1000;
    std::string withVersions = makeTemporaryFolder();
    plantVersions(withVersions, versions);
    Candidate plain = {program, WM_COMMAND, IDM_EXIT, {}, {}};
    Candidate versioned = {program, WM_COMMAND, IDM_EXIT, {}, {}};
    ok = ok && compare(versioned, plain, withVersions, runs, !smoke, folder);
    removeFolder(withVersions);
    if (ok)
        reportRatio("startup_with_" + std::to_string(versions) + "_versions", versioned.startMs,
                    plain.startMs, 1.05);

    // The same large page opened by both: the program's start page, and notepad's file; with
    // notes, and at 10 MB also with lines of 78 capitals, which the edit control measures more
    // slowly. A 32-bit benchmark in a 64-bit prefix is given the 32-bit notepad of syswow64 for
    // this path, so notepad is always of the build's own bitness.
    size_t small = smoke ? 1000 : 1000000;
    size_t large = smoke ? 2000 : 10000000;
    std::string page = folder + "\\Data\\Page0.txt";
    const struct {
        size_t bytes;
        const char* name;
        std::string text;
    } texts[] = {{small, "", noteText(small, 7)},
                 {large, "", noteText(large, 7)},
                 {large, "_capitals", capitalsText(large)}};
    for (const auto& text : texts) {
        writeFileBytes(page, text.text);
        Candidate largePage = {program, WM_COMMAND, IDM_EXIT, {}, {}};
        Candidate notepad = {
            "C:\\windows\\system32\\notepad.exe " + quoted(page), WM_CLOSE, 0, {}, {}};
        ok = ok && compare(largePage, notepad, folder,
                           smoke                ? 1
                           : text.bytes < large ? 9
                                                : 5,
                           !smoke);
        if (ok)
            reportRatio("startup_" + sizeName(text.bytes) + text.name + "_page_vs_notepad",
                        largePage.startMs, notepad.startMs, 1.0);
    }
    // The same start in the dark theme, the user's choice, against the light one.
    writeFileBytes(page, noteText(2000, 1));
    Candidate dark = {program, WM_COMMAND, IDM_EXIT, {}, {}, 2};
    Candidate light = {program, WM_COMMAND, IDM_EXIT, {}, {}, 1};
    ok = ok && compare(dark, light, folder, runs, !smoke);
    deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, THEME_VALUE);
    if (ok)
        reportRatio("startup_dark_theme", dark.startMs, light.startMs, 1.02);
    removeFolder(folder);
    if (!ok)
        return 1;
    timeHotkey(runs);
    printf("idle after start-up: jnotes.exe %.0f KB private, floor %.0f KB private\n",
           median(jnotes.privateKb), median(floor.privateKb));
    printf("BENCH name=private_at_idle program_kb=%.0f floor_kb=%.0f\n", median(jnotes.privateKb),
           median(floor.privateKb));
    return 0;
}
