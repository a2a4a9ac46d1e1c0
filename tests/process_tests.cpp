// jnotes.exe itself, started as a process: the single running copy, the command line, a second
// copy's requests, and text set from another process.
#include "support/running_program.h"

#include "ui/tray_icon.h"

#include <algorithm>

TEST_F(RunningProgram, SecondStartShowsTheHiddenWindowAndEnds) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    waitUntilHandled(window);
    EXPECT_FALSE(IsWindowVisible(window)) << "-minimize keeps the window hidden";
    EXPECT_TRUE(fileExists(folder + "\\Data\\Settings.dat"));
    // The shell has lost the icon: a second start has the running copy hand it over again.
    NotifyIconDataV1 icon = {sizeof icon, window, IDI_NOTES, 0, 0, nullptr, {}};
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&icon)));

    Process second;
    ASSERT_TRUE(launch(second, "", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    waitUntilHandled(window);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&icon)));
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

// Automation and accessibility tools set the editor's whole text from their own process, and a
// multi-line edit control reports no change for that: it is the user's text all the same.
TEST_F(RunningProgram, TextSetByAnotherProgramIsSavedOnEveryOccasion) {
    writePageBytes(0, "old notes");
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    HWND tabs = GetDlgItem(window, IDC_TABSTRIP);
    const struct {
        const char* name;
        std::function<void()> save;
        std::function<void()> back;
    } occasions[] = {
        {"Ctrl+S", [&] { SendMessageA(window, WM_COMMAND, IDM_SAVEPAGE, 0); }, [] {}},
        {"the autosave", [&] { SendMessageA(window, WM_TIMER, IDT_AUTOSAVE, 0); }, [] {}},
        {"a switch", [&] { SendMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0); },
         [&] { SendMessageA(tabs, WM_KEYDOWN, VK_LEFT, 0); }},
        {"hiding", [&] { SendMessageA(window, WM_CLOSE, 0, 0); },
         [&] { SendMessageA(window, WM_COMMAND, IDM_OPEN, 0); }},
    };
    for (const auto& occasion : occasions) {
        SCOPED_TRACE(occasion.name);
        std::string text = std::string("set by another program before ") + occasion.name;
        typeIntoRunningCopy(window, text.c_str());
        EXPECT_EQ(tabCaptionOf(window, 0), "Page 1*");
        occasion.save();
        EXPECT_TRUE(pumpUntil([&] { return readFileBytes(pageFile(0)) == text; }))
            << readFileBytes(pageFile(0));
        occasion.back();
        EXPECT_EQ(tabCaptionOf(window, 0), "Page 1");
        char shown[100] = {};
        SendMessageA(GetDlgItem(window, IDC_NOTEEDITOR), WM_GETTEXT, sizeof shown,
                     reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(shown, text);
    }
}

// The dialogs of every process shown with the caption.
std::vector<HWND> shownDialogs(const std::string& caption) {
    std::vector<HWND> dialogs = shownWindows("#32770", true);
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(),
                                 [&](HWND dialog) { return windowText(dialog) != caption; }),
                  dialogs.end());
    return dialogs;
}

TEST_F(RunningProgram, SecondMinimizedStartLeavesTheWindowHidden) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    Process second;
    ASSERT_TRUE(launch(second, "-minimize", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    waitUntilHandled(window);
    EXPECT_FALSE(IsWindowVisible(window));
}

// The request comes after a dialog that is open, never inside it; a quit sent meanwhile, as
// setup sends it, saves the page and ends the program.
TEST_F(RunningProgram, SecondStartWithPreferencesOpensTheDialogOfTheRunningCopy) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
    ASSERT_TRUE(pumpUntil([] { return !shownDialogs("About Jotty Notes").empty(); }, 20000));
    Process second;
    ASSERT_TRUE(launch(second, "-preferences", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    waitUntilHandled(window);
    EXPECT_EQ(shownDialogs("Preferences...").size(), 0u) << "not inside About";
    PostMessageA(shownDialogs("About Jotty Notes").at(0), WM_CLOSE, 0, 0);
    std::vector<HWND> dialogs;
    ASSERT_TRUE(
        pumpUntil([&] { return !(dialogs = shownDialogs("Preferences...")).empty(); }, 20000));
    EXPECT_EQ(GetWindow(dialogs[0], GW_OWNER), window);
    EXPECT_TRUE(IsWindowVisible(window));

    Process third;
    ASSERT_TRUE(launch(third, "-minimize -preferences", folder));
    EXPECT_EQ(waitForExit(third), 0u);
    waitUntilHandled(window);
    EXPECT_EQ(shownDialogs("Preferences...").size(), 1u)
        << "the open dialog is brought forward, not opened twice";

    typeIntoRunningCopy(window, "kept");
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_COMMAND, IDM_EXIT, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
}
