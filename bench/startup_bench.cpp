// Start-up of jnotes.exe against the bare floor program, both started the same way: the time
// from CreateProcess to the message loop idle and the main window shown, and the private bytes
// held at that moment.
#include "bench_support.h"

#include "res/resource.h"
#include "support/files.h"

#include <cstdio>

namespace {

struct Candidate {
    const char* executable;
    // The message that ends it: the quit command for jnotes.exe (closing only hides it).
    UINT endMessage;
    WPARAM endParameter;
    std::vector<double> startMs;
    std::vector<double> privateKb;
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

// Starts the program once in the folder and ends it again; false when it did not come up or
// did not end.
bool startOnce(Candidate& candidate, const std::string& folder, bool record) {
    std::string line = "\"" + executableFolder() + "\\" + candidate.executable + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = nowMs();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        fprintf(stderr, "%s could not be started\n", candidate.executable);
        return false;
    }
    WaitForInputIdle(process.hProcess, 30000);
    HWND window = waitForShownWindow(process.dwThreadId, 30000);
    double shown = nowMs();
    long long bytes = privateBytes(process.hProcess);
    bool ended = false;
    if (window) {
        PostMessageA(window, candidate.endMessage, candidate.endParameter, 0);
        ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    }
    if (!ended) {
        fprintf(stderr, "%s: %s\n", candidate.executable,
                window ? "did not end" : "showed no window");
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

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    int runs = smoke ? 1 : 15;
    Candidate program = {"jnotes.exe", WM_COMMAND, IDM_EXIT, {}, {}};
    Candidate floor = {"bench_floor.exe", WM_CLOSE, 0, {}, {}};
    std::string folder = makeTemporaryFolder();
    deleteRegistryValue(HKEY_CURRENT_USER, "Software\\Kestrova\\Jotty Notes", "InstalledPath");
    // The first starts load Wine's libraries from disk and make the Data folder; they are not
    // counted, so every counted start finds its files as a user's daily start does.
    bool ok = smoke || (startOnce(program, folder, false) && startOnce(floor, folder, false));
    for (int run = 0; ok && run < runs; ++run) {
        // The order alternates so that neither program always follows the other.
        Candidate& first = run % 2 ? program : floor;
        Candidate& second = run % 2 ? floor : program;
        ok = startOnce(first, folder, true) && startOnce(second, folder, true);
    }
    removeFolder(folder);
    if (!ok)
        return 1;
    reportRatio("startup", program.startMs, floor.startMs, 1.2);
    printf("idle after start-up: jnotes.exe %.0f KB private, floor %.0f KB private\n",
           median(program.privateKb), median(floor.privateKb));
    printf("BENCH name=private_at_idle program_kb=%.0f floor_kb=%.0f\n", median(program.privateKb),
           median(floor.privateKb));
    return 0;
}
