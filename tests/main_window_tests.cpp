// The main window: tabs, the dirty marker, the shortcuts, hiding, saving and layout.
#include "support/program_fixture.h"
#include "support/user_input.h"

#include "app/app_state.h"
#include "platform/autostart.h"
#include "platform/system_theme.h"
#include "platform/view_settings.h"
#include "storage/settings.h"
#include "ui/dpi.h"
#include "ui/global_hotkey.h"
#include "ui/main_window.h"
#include "ui/text_insert.h"
#include "ui/theme.h"
#include "ui/tray_icon.h"
#include "ui/window_view.h"

#include <commctrl.h>
#include <cstring>
#include <functional>
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
    // Snapped with Win+Arrow, or moved by a layout tool: the place is taken as the program ends.
    SetWindowPos(mainWindow, nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    restart();
    GetWindowRect(mainWindow, &placed);
    EXPECT_EQ(placed.left, 30);
    EXPECT_EQ(placed.top, 20);
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
        reinterpret_cast<LPCSTR>(GetClassLongPtrW(tabStrip, GCLP_WNDPROC)), &module));
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

static COLORREF shownPixel(HWND window, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

static int brightness(COLORREF pixel) {
    return (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) / 3;
}

// What the screen shows: the editor's background, the tab strip beside the tabs, and whether
// the first line's text stands out from the background.
struct ShownColours {
    bool editorDark;
    bool stripDark;
    bool textSeen;
};

static ShownColours shownColours() {
    pumpMessages();
    RECT editor, strip;
    GetClientRect(noteEditor, &editor);
    GetClientRect(tabStrip, &strip);
    int background = brightness(shownPixel(noteEditor, editor.right - 20, editor.bottom - 20));
    bool textSeen = false;
    for (int x = 2; x < 80 && !textSeen; ++x)
        for (int y = 2; y < 12 && !textSeen; ++y)
            textSeen = abs(brightness(shownPixel(noteEditor, x, y)) - background) > 120;
    return {background < 96, brightness(shownPixel(tabStrip, strip.right - 8, 6)) < 96, textSeen};
}

static void setWindowsAppMode(bool dark) {
    setRegistryValue(
        HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
        "AppsUseLightTheme", REG_DWORD, std::string(dark ? "\0\0\0\0" : "\1\0\0\0", 4));
    SendMessageA(mainWindow, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
}

// Dark when Windows is dark, at once; the window menu's choice overrides Windows both ways and
// is kept; high contrast always has the system's colours; flips leave no GDI object behind.
TEST_F(MainWindow, ThemeFollowsWindowsUnlessTheUserChoosesAndHighContrastWins) {
    writePageBytes(0, "WWWWWWWW WWWWWWWW");
    start();
    const struct {
        const char* name;
        std::function<void()> change;
        bool dark;
    } steps[] = {
        {"Windows light", [] { setWindowsAppMode(false); }, false},
        {"Windows dark", [] { setWindowsAppMode(true); }, true},
        {"Light chosen", [this] { systemCommand(IDM_THEME_LIGHT); }, false},
        {"Dark chosen", [this] { setWindowsAppMode(false), systemCommand(IDM_THEME_DARK); }, true},
        {"kept", [this] { restart(); }, true},
        {"high contrast",
         [] {
             highContrastQuery = [] { return true; };
             SendMessageA(mainWindow, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
         },
         false},
        {"the Windows setting again",
         [this] {
             restart();
             setWindowsAppMode(true);
             systemCommand(IDM_THEME_WINDOWS);
         },
         true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        ShownColours shown = shownColours();
        EXPECT_EQ(shown.editorDark, step.dark);
        EXPECT_EQ(shown.stripDark, step.dark);
        EXPECT_TRUE(shown.textSeen);
        EXPECT_EQ(darkTheme(), step.dark);
    }
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    EXPECT_TRUE(GetMenuState(menu, IDM_THEME_WINDOWS, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, IDM_THEME_DARK, MF_BYCOMMAND) & MF_CHECKED);
    DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int flip = 0; flip < 100; ++flip)
        systemCommand(flip % 2 ? IDM_THEME_DARK : IDM_THEME_LIGHT);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects);
}

// The keys held by another program are told once, in a balloon; the dialog refuses a key that
// cannot be had and keeps the old one, and a new key lets the old one go.
TEST_F(MainWindow, GlobalHotkeyIsTakenOrToldAndTheDialogChangesIt) {
    HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT, 'J'));
    start();
    EXPECT_NE(std::string(trayBalloon.szInfo).find("Ctrl+Alt+J is in use by another program"),
              std::string::npos);
    EXPECT_FALSE(hotkeyWorks());
    UnregisterHotKey(other, 1);
    ASSERT_TRUE(RegisterHotKey(other, 2, MOD_CONTROL | MOD_ALT, 'L'));
    const WORD CTRL_ALT = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
    auto chooseKey = [](WORD key) {
        return [key](HWND dialog) {
            SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, HKM_SETHOTKEY, key, 0);
            pressButton(dialog, IDOK);
        };
    };
    ModalDriver driver;
    std::string state;
    driver.then([&](HWND dialog) {
        EXPECT_EQ(windowText(dialog), "Global Hotkey");
        state = windowText(GetDlgItem(dialog, IDC_HOTKEY_STATE));
        chooseKey(CTRL_ALT | 'K')(dialog);
    });
    systemCommand(IDM_GLOBALHOTKEY);
    EXPECT_NE(state.find("does not work"), std::string::npos) << state;
    EXPECT_EQ(hotkeyChoice(), CTRL_ALT | 'K');
    driver.then(chooseKey(CTRL_ALT | 'L'));
    driver.then([](HWND box) {
        pressButton(box, IDOK);
        pressButton(GetWindow(box, GW_OWNER), IDCANCEL);
    });
    systemCommand(IDM_GLOBALHOTKEY);
    EXPECT_EQ(driver.seenTexts.back(),
              "Ctrl+Alt+L is in use by another program. Choose another key.");
    EXPECT_EQ(hotkeyChoice(), CTRL_ALT | 'K');
    EXPECT_FALSE(RegisterHotKey(other, 3, MOD_CONTROL | MOD_ALT, 'K')) << "the old key is kept";
    driver.then(chooseKey(CTRL_ALT | 'M'));
    systemCommand(IDM_GLOBALHOTKEY);
    EXPECT_TRUE(RegisterHotKey(other, 3, MOD_CONTROL | MOD_ALT, 'K')) << "and let go";
    restart();
    EXPECT_EQ(hotkeyChoice(), CTRL_ALT | 'M');
    DestroyWindow(other);
}

// Ctrl+Alt+J pressed for real, as X key events of the keyboard (XTEST); Wine hands a hotkey on
// only while one of its windows has the keyboard, so a window of the test's takes it first.
TEST_F(MainWindow, GlobalHotkeyShowsTheNotesAtTheCaretAndHidesThemSaved) {
    writePageBytes(0, "notes");
    start("-minimize");
    SendMessageA(noteEditor, EM_SETSEL, 2, 2);
    HWND focus = CreateWindowA("STATIC", "Hotkey focus", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                               nullptr, nullptr, nullptr, nullptr);
    // Each press is over once the program has taken its keys' release.
    auto pressed = [] {
        return !(GetAsyncKeyState('J') & 0x8000) && !(GetAsyncKeyState(VK_CONTROL) & 0x8000) &&
               !(GetAsyncKeyState(VK_MENU) & 0x8000);
    };
    auto press = [&](bool focusFirst) {
        if (focusFirst) {
            ASSERT_TRUE(startLinuxProgram("Z:\\usr\\bin\\xdotool search --name \"Hotkey focus\" "
                                          "windowfocus --sync"));
            ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == focus; }));
        }
        ASSERT_TRUE(startLinuxProgram("Z:\\usr\\bin\\xdotool key ctrl+alt+j"));
    };
    press(true);
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(mainWindow) && pressed(); }));
    EXPECT_EQ(GetFocus(), noteEditor);
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("te"));
    press(false);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindowVisible(mainWindow) && pressed(); }));
    EXPECT_EQ(readFileBytes(pageFile(0)), "notetes") << "typed at the caret, saved as it hid";
    // A copy that another program brought in meanwhile is shown as the notes come back.
    replaceFromOutside(pageFile(0), "theirs");
    press(true);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(mainWindow) && editorText() == "theirs"; }));
    DestroyWindow(focus);
}

TEST_F(MainWindow, AlwaysOnTopIsKeptAndTheStoredChoicesReadAsTheirDefaultsWhenOdd) {
    start();
    systemCommand(IDM_ALWAYSONTOP);
    EXPECT_TRUE(GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    restart();
    EXPECT_TRUE(GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) << "after a restart";
    EXPECT_TRUE(GetMenuState(GetSystemMenu(mainWindow, FALSE), IDM_ALWAYSONTOP, MF_BYCOMMAND) &
                MF_CHECKED);
    systemCommand(IDM_ALWAYSONTOP);
    EXPECT_FALSE(GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const struct {
        const char* value;
        DWORD type;
        std::string bytes;
    } odd[] = {
        {THEME_VALUE, REG_DWORD, std::string("\7\0\0\0", 4)},
        {ALWAYS_ON_TOP_VALUE, REG_SZ, "1"},
        {HOTKEY_VALUE, REG_DWORD, std::string("\x4A\0\0\0", 4)},   // J alone
        {HOTKEY_VALUE, REG_DWORD, std::string("\x10\x06\0\0", 4)}, // Ctrl+Alt+Shift itself
    };
    for (const auto& value : odd) {
        SCOPED_TRACE(value.value);
        setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, value.value, value.type, value.bytes);
        restart();
        EXPECT_EQ(themeChoice(), ThemeChoice::FollowWindows);
        EXPECT_FALSE(alwaysOnTop());
        EXPECT_EQ(hotkeyChoice(), DEFAULT_HOTKEY);
    }
}
