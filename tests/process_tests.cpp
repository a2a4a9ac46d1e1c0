// jnotes.exe itself, started as a process: the single running copy and the command line.
#include "support/running_program.h"

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
    EXPECT_EQ(FindWindowA(MAIN_WINDOW_CLASS, nullptr), window) << "still one running copy";

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(FindWindowA(MAIN_WINDOW_CLASS, nullptr), nullptr);
}

TEST_F(RunningProgram, QuitSavesAndANewStartBecomesTheRunningCopy) {
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    typeIntoRunningCopy(window, "saved on exit");
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(folder + "\\Data\\Page0.txt"), "saved on exit");

    Process again;
    ASSERT_TRUE(launch(again, "", folder));
    HWND second = waitForMainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    PostMessageA(second, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(again), 0u);
}
