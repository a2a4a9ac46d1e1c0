// The main window: tabs, the dirty marker, the shortcuts, hiding, saving and layout.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "platform/autostart.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/text_insert.h"
#include "ui/tray_icon.h"

#include <commctrl.h>
#include <cstring>
#include <vector>

// The numbers and names that other programs, the resources and stored files know the program
// by; every other test uses the program's names for them.
TEST(FixedNumbers, AreTheOnesOthersKnowTheProgramBy) {
    const struct {
        const char* name;
        long value;
        long fixed;
    } numbers[] = {
        {"IDS_APP_CAPTION", IDS_APP_CAPTION, 1},
        {"IDS_ABOUT_TEMPLATE", IDS_ABOUT_TEMPLATE, 2},
        {"IDI_NOTES", IDI_NOTES, 101},
        {"IDI_ERASE", IDI_ERASE, 105},
        {"IDI_HELP", IDI_HELP, 106},
        {"IDI_INFO", IDI_INFO, 107},
        {"IDI_OPTIONS", IDI_OPTIONS, 110},
        {"IDD_PREFERENCES", IDD_PREFERENCES, 104},
        {"IDD_ABOUT", IDD_ABOUT, 108},
        {"IDD_EXPORT", IDD_EXPORT, 111},
        {"IDR_ACCELERATORS", IDR_ACCELERATORS, 109},
        {"IDC_NOTEEDITOR", IDC_NOTEEDITOR, 102},
        {"IDC_TABSTRIP", IDC_TABSTRIP, 103},
        {"MENU_EDITOR", MENU_EDITOR, 415},
        {"MENU_TRAY", MENU_TRAY, 416},
        {"IDM_OPEN", IDM_OPEN, 421},
        {"IDM_ABOUT", IDM_ABOUT, 422},
        {"IDM_EXIT", IDM_EXIT, 423},
        {"IDM_PREFERENCES", IDM_PREFERENCES, 424},
        {"IDM_UNDO", IDM_UNDO, 425},
        {"IDM_CUT", IDM_CUT, 426},
        {"IDM_COPY", IDM_COPY, 427},
        {"IDM_PASTE", IDM_PASTE, 428},
        {"IDM_DELETE", IDM_DELETE, 429},
        {"IDM_SELECTALL", IDM_SELECTALL, 430},
        {"IDM_EXPORTPAGE", IDM_EXPORTPAGE, 431},
        {"IDM_INSERTDATETIME", IDM_INSERTDATETIME, 40002},
        {"IDM_INSERTLINE", IDM_INSERTLINE, 40003},
        {"IDM_SAVEPAGE", IDM_SAVEPAGE, 40004},
        {"IDC_PREF_NAME0", IDC_PREF_NAME0, 1000},
        {"IDC_PREF_CLEAR", IDC_PREF_CLEAR, 1005},
        {"IDC_PREF_OK", IDC_PREF_OK, 1006},
        {"IDC_PREF_CANCEL", IDC_PREF_CANCEL, 1007},
        {"IDC_PREF_APPLY", IDC_PREF_APPLY, 1008},
        {"IDC_PREF_HELP", IDC_PREF_HELP, 1009},
        {"IDC_PREF_WORDWRAP", IDC_PREF_WORDWRAP, 1010},
        {"IDC_PREF_AUTOSTART", IDC_PREF_AUTOSTART, 1011},
        {"IDC_PREF_EXPORT", IDC_PREF_EXPORT, 1012},
        {"IDC_EXPORT_CANCEL", IDC_EXPORT_CANCEL, 1007},
        {"IDC_EXPORT_PAGE0", IDC_EXPORT_PAGE0, 1011},
        {"IDC_EXPORT_EXPORT", IDC_EXPORT_EXPORT, 1016},
        {"IDC_ABOUT_OK", IDC_ABOUT_OK, 1006},
        {"IDC_ABOUT_TEXT", IDC_ABOUT_TEXT, 1007},
        {"WM_TRAYICON", WM_TRAYICON, 6025},
        {"IDT_AUTOSAVE", static_cast<long>(IDT_AUTOSAVE), 1},
        {"AUTOSAVE_PERIOD", AUTOSAVE_PERIOD, 30000},
        {"PAGE_COUNT", PAGE_COUNT, 5},
        {"the settings record", sizeof(SettingsRecord), 124},
    };
    for (const auto& number : numbers)
        EXPECT_EQ(number.value, number.fixed) << number.name;
    const struct {
        const char* name;
        const char* value;
        const char* fixed;
    } names[] = {
        {"MAIN_WINDOW_CLASS", MAIN_WINDOW_CLASS, "CLS_jNotes"},
        {"INSTALL_KEY_PATH", INSTALL_KEY_PATH, "Software\\Kestrova\\Jotty Notes"},
        {"INSTALLED_PATH_VALUE", INSTALLED_PATH_VALUE, "InstalledPath"},
        {"RUN_KEY_PATH", RUN_KEY_PATH, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {"PREFERENCES_RUN_VALUE", PREFERENCES_RUN_VALUE, "JottyNotes"},
    };
    for (const auto& name : names)
        EXPECT_STREQ(name.value, name.fixed) << name.name;
}

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
    } expected[] = {{'S', IDM_SAVEPAGE}, {'L', IDM_INSERTLINE}, {'T', IDM_INSERTDATETIME}};
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
