#include "support/running_program.h"

#include <commctrl.h>
#include <cstddef>

Process::~Process() {
    if (handle)
        CloseHandle(handle);
}

bool launch(Process& process, const std::string& program, const std::string& arguments,
            const std::string& folder) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process.handle = info.hProcess;
    // Idle input means start-up has finished and the message loop runs.
    WaitForInputIdle(process.handle, 20000);
    return true;
}

bool launch(Process& process, const std::string& arguments, const std::string& folder) {
    return launch(process, executableFolder() + "\\jnotes.exe", arguments, folder);
}

DWORD waitForExit(const Process& process, DWORD milliseconds) {
    if (WaitForSingleObject(process.handle, milliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.handle, &code);
    return code;
}

HWND waitForMainWindow() {
    HWND window = nullptr;
    pumpUntil([&] { return (window = FindWindowA(MAIN_WINDOW_CLASS, nullptr)) != nullptr; }, 20000);
    return window;
}

// A thread takes posted messages in order: once a mark posted after them is set, all are handled.
void waitUntilHandled(HWND window) {
    HWND editor = GetDlgItem(window, IDC_NOTEEDITOR);
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    PostMessageA(editor, EM_SETMODIFY, TRUE, 0);
    pumpUntil([editor] { return SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0; }, 20000);
}

void typeIntoRunningCopy(HWND window, const char* text) {
    SendMessageA(GetDlgItem(window, IDC_NOTEEDITOR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string tabCaptionOf(HWND window, int page) {
    struct Remote {
        TCITEMA item;
        char caption[64];
    };
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    void* memory =
        process ? VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE)
                : nullptr;
    Remote remote = {};
    if (memory) {
        remote.item.mask = TCIF_TEXT;
        remote.item.pszText = static_cast<char*>(memory) + offsetof(Remote, caption);
        remote.item.cchTextMax = sizeof remote.caption - 1;
        WriteProcessMemory(process, memory, &remote, sizeof remote, nullptr);
        SendMessageA(GetDlgItem(window, IDC_TABSTRIP), TCM_GETITEMA, page,
                     reinterpret_cast<LPARAM>(memory));
        ReadProcessMemory(process, memory, &remote, sizeof remote, nullptr);
        VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    }
    if (process)
        CloseHandle(process);
    remote.caption[sizeof remote.caption - 1] = '\0';
    return remote.caption;
}

void endProgram(const Process& process) {
    if (!process.handle || waitForExit(process, 0) != STILL_ACTIVE)
        return;
    PostMessageA(FindWindowA(MAIN_WINDOW_CLASS, nullptr), WM_COMMAND, IDM_EXIT, 0);
    if (waitForExit(process) == STILL_ACTIVE)
        TerminateProcess(process.handle, 1);
}

// A job that cannot be asked counts as running, so the wait ends by its timeout.
static bool jobEnded(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    return QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                     sizeof accounting, nullptr) &&
           accounting.ActiveProcesses == 0;
}

DWORD runToTheEnd(const std::string& commandLine, const std::function<void()>& whileRunning,
                  DWORD milliseconds) {
    // Processes started by a process of the job belong to the job as well.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    std::string line = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    DWORD code = STILL_ACTIVE;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                       nullptr, &startup, &info)) {
        AssignProcessToJobObject(job, info.hProcess);
        ResumeThread(info.hThread);
        bool ended = pumpUntil(
            [&] {
                whileRunning();
                return jobEnded(job);
            },
            milliseconds);
        if (ended)
            GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(job);
    return code;
}

void RunningProgram::TearDown() {
    endProgram(first);
    ProgramTest::TearDown();
}
