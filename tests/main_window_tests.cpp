// The main window: tabs, the dirty marker, the shortcuts, hiding, saving and layout.
#include "support/program_fixture.h"
#include "support/user_input.h"

#include "app/app_state.h"
#include "platform/autostart.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/text_insert.h"
#include "ui/dpi.h"
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

TEST_F(MainWindow, KeysPeopleExpectWorkOnEveryPage) {
    for (int page = 0; page < PAGE_COUNT; ++page)
        writePageBytes(page, "page " + std::to_string(page + 1) + " holds two words");
    start();
    focusEditor();
    const struct {
        std::initializer_list<WORD> keys;
        int page;
    } switches[] = {
        {{VK_CONTROL, VK_TAB}, 1},           {{VK_CONTROL, VK_NEXT}, 2},
        {{VK_CONTROL, VK_SHIFT, VK_TAB}, 1}, {{VK_CONTROL, VK_PRIOR}, 0},
        {{VK_CONTROL, VK_PRIOR}, 4},         {{VK_CONTROL, VK_TAB}, 0},
    };
    for (const auto& press : switches) {
        pressKeys(press.keys);
        EXPECT_EQ(currentPage, press.page);
        EXPECT_EQ(selectedTab(), press.page);
    }
    typeText(" more");
    LOCK_OR_SKIP(pageFile(0));
    pressKeys({VK_CONTROL, VK_TAB});
    EXPECT_EQ(currentPage, 0) << "a page that cannot be saved is not left";
    EXPECT_EQ(selectedTab(), 0);
    unlockFile(pageFile(0));
    pressKeys({VK_CONTROL, 'A'});
    DWORD from = 1, to = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, editorText().size());
    int end = GetWindowTextLengthA(noteEditor);
    SendMessageA(noteEditor, EM_SETSEL, end, end);
    pressKeys({VK_CONTROL, VK_BACK});
    EXPECT_EQ(editorText(), "page 1 holds two words ");
    pressKeys({VK_CONTROL, 'Z'});
    EXPECT_EQ(editorText(), "page 1 holds two words more") << "one change that Undo takes back";
    SendMessageA(noteEditor, EM_SETSEL, end - 5, end - 5);
    pressKeys({VK_CONTROL, VK_BACK});
    EXPECT_EQ(editorText(), "page 1 holds two  more") << "the word before the caret";
}

static int editorPoints() {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(noteEditor, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return MulDiv(-font.lfHeight, 72, BASE_DPI);
}

static void turnWheelWithControl(int notches) {
    RECT editor;
    GetWindowRect(noteEditor, &editor);
    SetCursorPos((editor.left + editor.right) / 2, (editor.top + editor.bottom) / 2);
    INPUT wheel = {};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    sendAndTakeInput({keyInput(VK_CONTROL), wheel, keyInput(VK_CONTROL, KEYEVENTF_KEYUP)});
}

TEST_F(MainWindow, TextSizeStepsWithinItsBoundsAndIsKeptForTheUser) {
    start();
    focusEditor();
    EXPECT_EQ(editorPoints(), 8) << "the stock font's size";
    pressKeys({VK_CONTROL, VK_OEM_PLUS});
    EXPECT_EQ(editorPoints(), 9);
    pressKeys({VK_CONTROL, VK_ADD});
    EXPECT_EQ(editorPoints(), 10);
    pressKeys({VK_CONTROL, VK_OEM_MINUS});
    EXPECT_EQ(editorPoints(), 9);
    turnWheelWithControl(2);
    EXPECT_EQ(editorPoints(), 11);
    restart();
    EXPECT_EQ(editorPoints(), 11) << "kept for the user";
    focusEditor();
    pressKeys({VK_CONTROL, '0'});
    EXPECT_EQ(editorPoints(), 8);
    for (int step = 0; step < 30; ++step)
        SendMessageA(mainWindow, WM_COMMAND, IDM_TEXTSMALLER, 0);
    EXPECT_EQ(editorPoints(), 6);
    for (int step = 0; step < 30; ++step)
        SendMessageA(mainWindow, WM_COMMAND, IDM_TEXTLARGER, 0);
    EXPECT_EQ(editorPoints(), 72);
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, INSTALL_KEY_PATH, TEXT_SIZE_VALUE),
              std::string("\x48\0\0\0", 4));
}

// Dragging the window by its title bar, as a user's hand does.
static void dragWindowBy(int dx, int dy) {
    RECT window;
    GetWindowRect(mainWindow, &window);
    POINT at = {window.left + 100,
                window.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    sendMouse(0, at);
    sendMouse(MOUSEEVENTF_LEFTDOWN, at);
    for (int step = 1; step <= 4; ++step)
        sendMouse(0, POINT{at.x + dx * step / 4, at.y + dy * step / 4});
    sendMouse(MOUSEEVENTF_LEFTUP, POINT{at.x + dx, at.y + dy});
    DWORD until = GetTickCount() + 300;
    pumpUntil([until] { return GetTickCount() > until; });
}

TEST_F(MainWindow, WindowIsWhereTheUserLeftItOrMovedIntoView) {
    start();
    RECT first;
    GetWindowRect(mainWindow, &first);
    EXPECT_EQ(first.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 225) << "a first start is centred";
    dragWindowBy(-60, 40);
    RECT moved;
    GetWindowRect(mainWindow, &moved);
    ASSERT_EQ(moved.left, first.left - 60) << "the drag moved the window";
    restart();
    RECT placed;
    GetWindowRect(mainWindow, &placed);
    EXPECT_TRUE(EqualRect(&placed, &moved));
    SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    restart();
    EXPECT_TRUE(IsZoomed(mainWindow)) << "left maximised, shown maximised";

    WindowPlace gone = {{5000, 4000, 5450, 4480}, BASE_DPI, FALSE};
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, WINDOW_PLACE_VALUE, REG_BINARY,
                     std::string(reinterpret_cast<const char*>(&gone), sizeof gone));
    restart();
    RECT work, shown;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(mainWindow, &shown);
    EXPECT_FALSE(IsZoomed(mainWindow));
    EXPECT_EQ(shown.right - shown.left, 450);
    EXPECT_TRUE(shown.left >= work.left && shown.right <= work.right && shown.top >= work.top &&
                shown.bottom <= work.bottom)
        << "a place no monitor shows is moved into the work area";
}

// The tab strip is drawn by the common controls of the visual style, version 6, which the
// manifest asks for: its window procedure lies in that side-by-side assembly's module. (Wine's
// copy tells its version as 5.81 all the same.)
TEST_F(MainWindow, ControlsAreThoseOfTheVisualStyle) {
    start();
    HMODULE module = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(GetWindowLongPtrW(tabStrip, GWLP_WNDPROC)), &module));
    char name[MAX_PATH] = {};
    GetModuleFileNameA(module, name, sizeof name);
    std::string path = name;
    for (char& c : path)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
#ifdef _WIN64
    const char* assembly =
        "\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#else
    const char* assembly = "\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0.";
#endif
    EXPECT_NE(path.find(assembly), std::string::npos) << name;
}
