// jnotes.exe itself, started as a process: the single running copy and the command line.
#include "support/program_fixture.h"

namespace {

struct Process {
    HANDLE handle = nullptr;
    ~Process() {
        if (handle)
            CloseHandle(handle);
    }
};

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

DWORD waitForExit(const Process& process, DWORD milliseconds = 20000) {
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

class RunningProgram : public ProgramTest {
  protected:
    void TearDown() override {
        if (first.handle && waitForExit(first, 0) == STILL_ACTIVE) {
            PostMessageA(FindWindowA("CLS_jNotes", nullptr), WM_COMMAND, 423, 0);
            if (waitForExit(first) == STILL_ACTIVE)
                TerminateProcess(first.handle, 1);
        }
        ProgramTest::TearDown();
    }
    Process first;
};

} // namespace

TEST_F(RunningProgram, SecondStartShowsTheHiddenWindowAndEnds) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    pumpUntil([] { return false; }, 300);
    EXPECT_FALSE(IsWindowVisible(window)) << "-minimize keeps the window hidden";
    EXPECT_TRUE(fileExists(folder + "\\Data\\Settings.dat"));

    Process second;
    ASSERT_TRUE(launch(second, "", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_EQ(FindWindowA("CLS_jNotes", nullptr), window) << "still one running copy";

    PostMessageA(window, WM_COMMAND, 423, 0);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(FindWindowA("CLS_jNotes", nullptr), nullptr);
}

TEST_F(RunningProgram, QuitSavesAndANewStartBecomesTheRunningCopy) {
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    HWND editor = GetDlgItem(window, 102);
    SendMessageA(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("saved on exit"));
    PostMessageA(window, WM_COMMAND, 423, 0);
    ASSERT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(folder + "\\Data\\Page0.txt"), "saved on exit");

    Process again;
    ASSERT_TRUE(launch(again, "", folder));
    HWND second = waitForMainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    PostMessageA(second, WM_COMMAND, 423, 0);
    EXPECT_EQ(waitForExit(again), 0u);
}
