// The main window: tabs, the dirty marker, the shortcuts, hiding, saving and layout.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/text_insert.h"

#include <commctrl.h>
#include <vector>

using MainWindow = ProgramTest;

TEST_F(MainWindow, TypingMarksTheTabAndSavingClearsIt) {
    start();
    typeText("x");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_EQ(tabCaption(1), "Page 2");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_EQ(readFileBytes(pageFile(0)), "x");
}

TEST_F(MainWindow, AcceleratorTableHoldsTheThreeShortcuts) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ACCEL entries[4];
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 3);
    const struct {
        WORD key;
        WORD command;
    } expected[] = {{'S', 40004}, {'L', 40003}, {'T', 40002}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].command);
        EXPECT_EQ(entries[i].fVirt & ~0x80, FVIRTKEY | FCONTROL | FNOINVERT);
    }
    DestroyAcceleratorTable(table);
}

TEST(DateTime, IsFormattedMonthFirstWithTwoDigitYear) {
    SYSTEMTIME date = {};
    date.wYear = 2005;
    date.wMonth = 7;
    date.wDay = 2;
    SYSTEMTIME time = {};
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 3;
    char text[20];
    formatDateTime(date, time, text);
    EXPECT_STREQ(text, "07/02/05 - 09:05:03");
    date.wYear = 2100;
    date.wMonth = 12;
    date.wDay = 31;
    time.wHour = 23;
    time.wMinute = 59;
    time.wSecond = 58;
    formatDateTime(date, time, text);
    EXPECT_STREQ(text, "12/31/00 - 23:59:58");
}

TEST_F(MainWindow, InsertionsReplaceTheSelectionAsOneUndoableChange) {
    start();
    setEditorText("ab");
    SendMessageA(noteEditor, EM_SETSEL, 1, 1);
    command(IDM_INSERTLINE);
    EXPECT_EQ(editorText(), "a" + std::string(SEPARATOR_LINE) + "b");
    EXPECT_EQ(std::string(SEPARATOR_LINE).size(), 64u);
    EXPECT_EQ(tabCaption(0), "Page 1*");
    SendMessageA(noteEditor, EM_UNDO, 0, 0);
    EXPECT_EQ(editorText(), "ab");

    SendMessageA(noteEditor, EM_SETSEL, 0, 2);
    command(IDM_INSERTDATETIME);
    std::string stamp = editorText();
    ASSERT_EQ(stamp.size(), 19u);
    EXPECT_EQ(stamp[2], '/');
    EXPECT_EQ(stamp.substr(8, 3), " - ");
    EXPECT_EQ(stamp[13], ':');
}

TEST_F(MainWindow, CloseHidesAfterSavingAndOpenShowsAgain) {
    start();
    typeText("hidden text");
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(windowVisible);
    EXPECT_FALSE(KillTimer(mainWindow, IDT_AUTOSAVE));
    EXPECT_EQ(readFileBytes(pageFile(0)), "hidden text");
    command(IDM_OPEN);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(KillTimer(mainWindow, IDT_AUTOSAVE)) << "the autosave timer runs again";
    EXPECT_EQ(editorText(), "hidden text");
}

TEST_F(MainWindow, EverySaveOccasionWritesTheCurrentPage) {
    start();
    const struct {
        UINT message;
        WPARAM wParam;
    } occasions[] = {
        {WM_TIMER, IDT_AUTOSAVE},
        {WM_SYSCOMMAND, SC_MINIMIZE},
        {WM_QUERYENDSESSION, 0},
        {WM_POWERBROADCAST, PBT_APMSUSPEND},
    };
    int n = 0;
    for (const auto& occasion : occasions) {
        std::string text = "text " + std::to_string(++n);
        setEditorText(text);
        SendMessageA(mainWindow, occasion.message, occasion.wParam, 0);
        waitForPageWrite();
        EXPECT_EQ(readFileBytes(pageFile(0)), text) << "message " << occasion.message;
    }
    ShowWindow(mainWindow, SW_RESTORE);
}

TEST_F(MainWindow, SwitchingTabsSavesTheLeftPageAndLoadsTheNewOne) {
    writePageBytes(2, "third page");
    start();
    typeText("first page");
    clickTab(2);
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(selectedTab(), 2);
    EXPECT_EQ(editorText(), "third page");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_EQ(tabCaption(2), "Page 3") << "loading a page does not mark it";
    EXPECT_EQ(readFileBytes(pageFile(0)), "first page");
    clickTab(4);
    EXPECT_EQ(editorText(), "") << "a page without a file shows empty";
    EXPECT_FALSE(fileExists(pageFile(4)));
    clickTab(0);
    EXPECT_EQ(editorText(), "first page");
    EXPECT_TRUE(fileExists(pageFile(4)));
}

TEST_F(MainWindow, LayoutPlacesTheEditorOverTheTabs) {
    start();
    RECT window = {0, 0, 300, 200};
    AdjustWindowRectEx(&window, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(mainWindow, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(mainWindow, &client);
    ASSERT_EQ(client.right, 300);
    ASSERT_EQ(client.bottom, 200);
    auto placeOf = [](HWND child) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
        return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top};
    };
    EXPECT_EQ(placeOf(tabStrip), (std::vector<LONG>{0, 0, 300, 200}));
    EXPECT_EQ(placeOf(noteEditor), (std::vector<LONG>{5, 28, 290, 170}));
}
