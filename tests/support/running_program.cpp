#include "support/running_program.h"

Process::~Process() {
    if (handle)
        CloseHandle(handle);
}

bool launch(Process& process, const std::string& arguments, const std::string& folder) {
    std::string line = "\"" + executableFolder() + "\\jnotes.exe\" " + arguments;
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

DWORD waitForExit(const Process& process, DWORD milliseconds) {
    if (WaitForSingleObject(process.handle, milliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.handle, &code);
    return code;
}

HWND waitForMainWindow() {
    HWND window = nullptr;
    pumpUntil([&] { return (window = FindWindowA("CLS_jNotes", nullptr)) != nullptr; }, 20000);
    return window;
}

void RunningProgram::TearDown() {
    if (first.handle && waitForExit(first, 0) == STILL_ACTIVE) {
        PostMessageA(FindWindowA("CLS_jNotes", nullptr), WM_COMMAND, 423, 0);
        if (waitForExit(first) == STILL_ACTIVE)
            TerminateProcess(first.handle, 1);
    }
    ProgramTest::TearDown();
}
