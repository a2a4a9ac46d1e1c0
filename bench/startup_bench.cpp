// Start-up of jnotes.exe against the bare floor program, both started the same way: the time
// from CreateProcess to the message loop idle and the main window shown, and the private bytes
// held at that moment. Then start-up on a 10 MB start page against Wine's notepad opening the
// same file, both timed to a shown window that answers.
#include "bench_support.h"

#include "app/startup.h"
#include "res/resource.h"
#include "support/files.h"

#include <cstdio>

namespace {

struct Candidate {
    std::string commandLine;
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
    std::string line = candidate.commandLine;
    const char* name = candidate.commandLine.c_str();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = nowMs();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
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

} // namespace

int main(int argc, char** argv) {
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
        reportRatio("startup", jnotes.startMs, floor.startMs, 1.2);

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

    // The same large page opened by both: the program's start page, and notepad's file; once
    // with notes, once with lines of 78 capitals, which the edit control measures more slowly.
    size_t bytes = smoke ? 1000 : 10000000;
    std::string page = folder + "\\Data\\Page0.txt";
    const struct {
        const char* name;
        std::string text;
    } texts[] = {{"", noteText(bytes, 7)}, {"_capitals", capitalsText(bytes)}};
    for (const auto& text : texts) {
        writeFileBytes(page, text.text);
        Candidate largePage = {program, WM_COMMAND, IDM_EXIT, {}, {}};
        Candidate notepad = {
            "C:\\windows\\system32\\notepad.exe " + quoted(page), WM_CLOSE, 0, {}, {}};
        ok = ok && compare(largePage, notepad, folder, smoke ? 1 : 5, !smoke);
        if (ok)
            reportRatio("startup_" + sizeName(bytes) + text.name + "_page_vs_notepad",
                        largePage.startMs, notepad.startMs, 1.1);
    }
    removeFolder(folder);
    if (!ok)
        return 1;
    printf("idle after start-up: jnotes.exe %.0f KB private, floor %.0f KB private\n",
           median(jnotes.privateKb), median(floor.privateKb));
    printf("BENCH name=private_at_idle program_kb=%.0f floor_kb=%.0f\n", median(jnotes.privateKb),
           median(floor.privateKb));
    return 0;
}
