// Programs started as processes of their own: jnotes.exe in a test's install folder, and the
// setup program and its uninstaller.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "support/program_fixture.h"

struct Process {
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    HANDLE handle = nullptr;
};

// Starts a program with the arguments in the folder and waits until its start-up is done.
bool launch(Process& process, const std::string& program, const std::string& arguments,
            const std::string& folder);
// The same for the jnotes.exe beside the test executable.
bool launch(Process& process, const std::string& arguments, const std::string& folder);
// The exit code, or STILL_ACTIVE when the process has not ended in time.
DWORD waitForExit(const Process& process, DWORD milliseconds = 20000);
HWND waitForMainWindow();
// Waits until a running copy has handled every message posted to it before (by a mark on its
// editor that the program never reads).
void waitUntilHandled(HWND window);
// Sets the whole text of a running copy's editor, as an automation tool would.
void typeIntoRunningCopy(HWND window, const char* text);
// The caption of a tab of a running copy's main window, read through memory of that process.
std::string tabCaptionOf(HWND window, int page);
// Ends a copy of jnotes.exe that a test left running: the quit command, by force if need be.
void endProgram(const Process& process);

// Runs a command line until it and every process it started have ended (an uninstaller goes
// on in a copy of itself), calling whileRunning meanwhile. Returns the first process's exit
// code, or STILL_ACTIVE when they have not ended in time.
DWORD runToTheEnd(
    const std::string& commandLine, const std::function<void()>& whileRunning = [] {},
    DWORD milliseconds = 60000);

// Ends the first copy with the quit command if a test left it running.
class RunningProgram : public ProgramTest {
  protected:
    void TearDown() override;
    Process first;
};
