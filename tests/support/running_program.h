// jnotes.exe started as a process of its own, in a test's install folder.
#pragma once
#include <windows.h>

#include <string>

#include "support/program_fixture.h"

struct Process {
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    HANDLE handle = nullptr;
};

// Starts jnotes.exe with the arguments in the folder and waits until its start-up is done.
bool launch(Process& process, const std::string& arguments, const std::string& folder);
// The exit code, or STILL_ACTIVE when the process has not ended in time.
DWORD waitForExit(const Process& process, DWORD milliseconds = 20000);
HWND waitForMainWindow();

// Ends the first copy with the quit command if a test left it running.
class RunningProgram : public ProgramTest {
  protected:
    void TearDown() override;
    Process first;
};
