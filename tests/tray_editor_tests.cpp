// The tray icon, the two popup menus and the note editor's commands and re-creation.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/text_insert.h"
#include "ui/tray_and_editor_menus.h"
#include "ui/tray_icon.h"

#include <algorithm>
#include <functional>
#include <shellapi.h>

namespace {

bool shellHasIcon() {
    NotifyIconDataV1 probe = {sizeof probe, mainWindow, IDI_NOTES, 0, 0, nullptr, {}};
    return Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&probe)) != FALSE;
}

bool allZero(const void* bytes, size_t size) {
    const unsigned char* byte = static_cast<const unsigned char*>(bytes);
    return std::all_of(byte, byte + size, [](unsigned char b) { return b == 0; });
}

struct ItemState {
    std::string text;
    UINT id;
    UINT state;
};

std::vector<ItemState> readMenu(HMENU menu) {
    std::vector<ItemState> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        items.push_back(
            {menuItemText(menu, i), GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION)});
    return items;
}

bool grayed(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

} // namespace

using TrayIconRecord = ProgramTest;

TEST_F(TrayIconRecord, StartUpHandsTheIconToTheShell) {
    start();
    EXPECT_TRUE(trayIcon.added);
    EXPECT_EQ(trayIcon.data.cbSize, NOTIFYICONDATAA_V1_SIZE);
    EXPECT_EQ(trayIcon.data.hWnd, mainWindow);
    EXPECT_EQ(trayIcon.data.uID, static_cast<UINT>(IDI_NOTES));
    EXPECT_EQ(trayIcon.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(trayIcon.data.uCallbackMessage, WM_TRAYICON);
    EXPECT_NE(trayIcon.data.hIcon, nullptr);
    EXPECT_STREQ(trayIcon.data.szTip, "Jotty Notes");
    EXPECT_TRUE(shellHasIcon());
    quit();
    EXPECT_FALSE(trayIcon.added);
    EXPECT_TRUE(allZero(&trayIcon.data, sizeof trayIcon.data));
}

TEST_F(TrayIconRecord, AddAndRemoveCallTheShellOnlyWhenTheFlagAllows) {
    start();
    // Taken from the shell behind the record's back: an add that called the shell again
    // would bring it back.
    Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&trayIcon.data));
    EXPECT_FALSE(trayIcon.add());
    EXPECT_FALSE(shellHasIcon());
    trayIcon.remove();
    EXPECT_TRUE(allZero(&trayIcon.data, sizeof trayIcon.data));
    EXPECT_FALSE(trayIcon.remove());

    trayIcon.prepare(instanceHandle, mainWindow, IDI_NOTES, std::string(80, 't').c_str());
    EXPECT_EQ(std::string(trayIcon.data.szTip), std::string(63, 't'));
    trayIcon.prepare(instanceHandle, mainWindow, IDI_NOTES, nullptr);
    EXPECT_STREQ(trayIcon.data.szTip, "");
    EXPECT_TRUE(trayIcon.add());
    EXPECT_TRUE(shellHasIcon());
}

TEST_F(TrayIconRecord, TaskbarCreatedAddsTheIconAgain) {
    start();
    for (int i = 0; i < 3; ++i) {
        Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&trayIcon.data));
        ASSERT_FALSE(shellHasIcon());
        SendMessageA(mainWindow, taskbarCreatedMessage, 0, 0);
        EXPECT_TRUE(shellHasIcon());
        EXPECT_STREQ(trayIcon.data.szTip, "Jotty Notes");
        EXPECT_EQ(trayIcon.data.uCallbackMessage, WM_TRAYICON);
    }
}

using TrayCallback = ProgramTest;

TEST_F(TrayCallback, DoubleClickShowsTheHiddenWindowOrBringsItForward) {
    start("-minimize");
    ASSERT_FALSE(IsWindowVisible(mainWindow));
    SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_TRUE(windowVisible);
    EXPECT_TRUE(KillTimer(mainWindow, IDT_AUTOSAVE)) << "the autosave timer runs";
    SetTimer(mainWindow, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);

    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    pumpMessages();
    ASSERT_EQ(GetForegroundWindow(), other);
    SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_LBUTTONDBLCLK);
    EXPECT_EQ(GetForegroundWindow(), mainWindow);
    SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_MOUSEMOVE);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    DestroyWindow(other);
}

using Menus = ProgramTest;

TEST_F(Menus, TrayMenuHoldsItsFiveItemsAndExitEndsTheProgram) {
    start();
    typeText("saved by exit");
    std::vector<ItemState> items;
    UINT defaultItem = 0;
    HMENU shown = nullptr;
    {
        MenuDriver driver([&](HMENU menu, HWND window) {
            shown = menu;
            items = readMenu(menu);
            defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
            chooseByKey(window, 'x');
        });
        SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_RBUTTONUP);
        pumpMessages();
    }
    ASSERT_EQ(items.size(), 5u);
    const char* texts[] = {"&Open Jotty Notes", "&Preferences...", "&About...", "", "E&xit"};
    UINT ids[] = {IDM_OPEN, IDM_PREFERENCES, IDM_ABOUT, 0, IDM_EXIT};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(items[i].text, texts[i]);
        EXPECT_EQ(items[i].id, ids[i]);
        if (ids[i]) {
            EXPECT_EQ(items[i].state & (MF_GRAYED | MF_DISABLED), 0u) << texts[i];
        }
    }
    EXPECT_TRUE(items[3].state & MF_SEPARATOR);
    EXPECT_EQ(defaultItem, 0u);
    EXPECT_FALSE(IsMenu(shown)) << "the tray menu is destroyed once closed";
    EXPECT_FALSE(IsWindow(mainWindow)) << "E&xit closed the main window";
    EXPECT_EQ(runToExit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(0)), "saved by exit");
    EXPECT_FALSE(trayIcon.added);
}

TEST_F(Menus, EditorMenuHoldsTheSubmenuAndTheEditingItems) {
    start();
    std::vector<ItemState> items;
    std::vector<ItemState> submenuItems;
    bool heldWhileShown = false;
    HMENU shown = nullptr;
    HMENU shownSubmenu = nullptr;
    {
        MenuDriver driver([&](HMENU menu, HWND) {
            heldWhileShown = editorMenu == menu && editorSubmenu != nullptr;
            shown = menu;
            shownSubmenu = editorSubmenu;
            items = readMenu(menu);
            submenuItems = readMenu(GetSubMenu(menu, 0));
            closeMenu();
        });
        SendMessageA(noteEditor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
        pumpMessages();
    }
    EXPECT_TRUE(heldWhileShown);
    EXPECT_EQ(editorMenu, nullptr);
    EXPECT_EQ(editorSubmenu, nullptr);
    EXPECT_FALSE(IsMenu(shown)) << "the menu is destroyed once closed";
    EXPECT_FALSE(IsMenu(shownSubmenu));
    ASSERT_EQ(items.size(), 10u);
    const char* texts[] = {"Jotty Notes", "",      "Undo",   "", "Cut",
                           "Copy",        "Paste", "Delete", "", "Select All"};
    UINT ids[] = {UINT(-1), 0,         IDM_UNDO,   0, IDM_CUT,
                  IDM_COPY, IDM_PASTE, IDM_DELETE, 0, IDM_SELECTALL};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(items[i].text, texts[i]) << i;
        EXPECT_EQ(items[i].id, ids[i]) << i;
    }
    ASSERT_EQ(submenuItems.size(), 5u);
    const char* subTexts[] = {"Export this page...", "Preferences...", "About...", "",
                              "Shutdown Jotty Notes"};
    UINT subIds[] = {IDM_EXPORTPAGE, IDM_PREFERENCES, IDM_ABOUT, 0, IDM_EXIT};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(submenuItems[i].text, subTexts[i]);
        EXPECT_EQ(submenuItems[i].id, subIds[i]);
    }
}

TEST_F(Menus, EditorMenuItemStatesFollowTheEditor) {
    start();
    setEditorText("some text");
    struct Seen {
        bool undo, cut, copy, del, paste, selectAll;
    };
    auto showMenu = [&] {
        Seen seen = {};
        MenuDriver driver([&](HMENU menu, HWND) {
            seen = {grayed(menu, IDM_UNDO),   grayed(menu, IDM_CUT),   grayed(menu, IDM_COPY),
                    grayed(menu, IDM_DELETE), grayed(menu, IDM_PASTE), grayed(menu, IDM_SELECTALL)};
            closeMenu();
        });
        SendMessageA(noteEditor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
        pumpMessages();
        EXPECT_EQ(driver.menusSeen > 0, true);
        return seen;
    };
    OpenClipboard(mainWindow);
    EmptyClipboard();
    CloseClipboard();
    Seen none = showMenu();
    EXPECT_TRUE(none.undo) << "nothing to undo after the page was loaded";
    EXPECT_TRUE(none.cut && none.copy && none.del) << "no selection";
    EXPECT_TRUE(none.paste) << "no text on the clipboard";
    EXPECT_FALSE(none.selectAll);

    SendMessageA(noteEditor, EM_SETSEL, 0, 4);
    SendMessageA(noteEditor, WM_COMMAND, IDM_COPY, 0);
    SendMessageA(noteEditor, WM_CHAR, 'X', 0);
    SendMessageA(noteEditor, EM_SETSEL, 0, 1);
    Seen some = showMenu();
    EXPECT_FALSE(some.undo);
    EXPECT_FALSE(some.cut || some.copy || some.del);
    EXPECT_FALSE(some.paste);
}

TEST_F(Menus, MouseContextMenuOfTheControlIsNotShown) {
    start();
    MenuDriver driver([](HMENU, HWND) { closeMenu(); });
    SendMessageA(noteEditor, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(noteEditor),
                 MAKELPARAM(20, 20));
    pumpMessages();
    EXPECT_EQ(driver.menusSeen, 0);
}

using EditorCommands = ProgramTest;

TEST_F(EditorCommands, EditingCommandsActOnTheEditor) {
    start();
    setEditorText("hello world");
    SendMessageA(noteEditor, WM_COMMAND, IDM_SELECTALL, 0);
    DWORD start = 0, end = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 11u);
    SendMessageA(noteEditor, EM_SETSEL, 5, 11);
    SendMessageA(noteEditor, WM_COMMAND, IDM_CUT, 0);
    EXPECT_EQ(editorText(), "hello");
    SendMessageA(noteEditor, WM_COMMAND, IDM_PASTE, 0);
    SendMessageA(noteEditor, WM_COMMAND, IDM_PASTE, 0);
    EXPECT_EQ(editorText(), "hello world world");
    SendMessageA(noteEditor, EM_SETSEL, 0, 6);
    SendMessageA(noteEditor, WM_COMMAND, IDM_DELETE, 0);
    EXPECT_EQ(editorText(), "world world");
    SendMessageA(noteEditor, WM_COMMAND, IDM_UNDO, 0);
    EXPECT_EQ(editorText(), "hello world world");
}

// The page keeps 8-bit text: however text is pasted, the editor shows what the file then holds.
TEST_F(EditorCommands, PasteShowsWhatThePageKeeps) {
    start();
    const std::wstring pasted = L"caf\u00e9 \u20ac \u03a9 \u4e2d end";
    auto withShift = [](bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"the menu's Paste", [] { SendMessageA(noteEditor, WM_COMMAND, IDM_PASTE, 0); }},
        {"Ctrl+V", [] { SendMessageA(noteEditor, WM_CHAR, 0x16, 0); }},
        {"Shift+Insert",
         [&] {
             withShift(true);
             SendMessageA(noteEditor, WM_KEYDOWN, VK_INSERT, 0);
             withShift(false);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        ASSERT_TRUE(OpenClipboard(mainWindow));
        EmptyClipboard();
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(WCHAR));
        memcpy(GlobalLock(data), pasted.c_str(), (pasted.size() + 1) * sizeof(WCHAR));
        GlobalUnlock(data);
        SetClipboardData(CF_UNICODETEXT, data);
        CloseClipboard();
        setEditorText("");
        way.second();
        command(IDM_SAVEPAGE);
        std::string kept = readFileBytes(pageFile(0));
        EXPECT_EQ(kept.substr(0, 4), "caf\xe9");
        // The control's own text, as it draws it: not through the 8-bit window procedure.
        WNDCLASSW editClass;
        GetClassInfoW(nullptr, L"EDIT", &editClass);
        WCHAR shown[64] = {};
        CallWindowProcW(editClass.lpfnWndProc, noteEditor, WM_GETTEXT, 64,
                        reinterpret_cast<LPARAM>(shown));
        WCHAR keptWide[64] = {};
        MultiByteToWideChar(CP_ACP, 0, kept.c_str(), -1, keptWide, 64);
        EXPECT_EQ(std::wstring(shown), std::wstring(keptWide));
    }
}

TEST_F(EditorCommands, ShutdownEndsTheProgramLikeExit) {
    start();
    typeText("saved by shutdown");
    SendMessageA(noteEditor, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(runToExit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(0)), "saved by shutdown");
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Jotty Notes");
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(mutex);
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

using EditorRecreation = ProgramTest;

TEST_F(EditorRecreation, WrapOnAndOffGivesBackTheEditor) {
    start();
    setEditorText("line one\r\nline two");
    typeText(" unsaved");
    LONG style = GetWindowLongA(noteEditor, GWL_STYLE);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(noteEditor, WM_GETFONT, 0, 0));
    RECT before;
    GetWindowRect(noteEditor, &before);
    HWND first = noteEditor;

    ASSERT_EQ(recreateEditor(1), 1);
    EXPECT_NE(noteEditor, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(editorWraps());
    EXPECT_EQ(GetWindowLongA(noteEditor, GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
    EXPECT_EQ(editorText(), "line one\r\nline two unsaved");
    EXPECT_FALSE(SendMessageA(noteEditor, EM_CANUNDO, 0, 0)) << "undo starts afresh";
    EXPECT_TRUE(pageUnsaved()) << "unsaved text stays unsaved";
    EXPECT_EQ(tabCaption(0), "Page 1*");

    ASSERT_EQ(recreateEditor(0), 1);
    EXPECT_EQ(GetWindowLongA(noteEditor, GWL_STYLE), style);
    EXPECT_EQ(editorText(), "line one\r\nline two unsaved");
    EXPECT_EQ(GetDlgCtrlID(noteEditor), IDC_NOTEEDITOR);
    EXPECT_EQ(GetParent(noteEditor), mainWindow);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(noteEditor, WM_GETFONT, 0, 0)), font);
    RECT after;
    GetWindowRect(noteEditor, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetWindowLongPtrA(noteEditor, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(editorSubclassProc));
    EXPECT_EQ(SendMessageA(noteEditor, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    EXPECT_EQ(GetFocus(), noteEditor);
    EXPECT_EQ(GetDlgItem(mainWindow, IDC_NOTEEDITOR), noteEditor);
}

TEST_F(EditorRecreation, WhileHiddenTheFocusIsLeftAlone) {
    start("-minimize");
    HWND focus = GetFocus();
    ASSERT_EQ(recreateEditor(1), 1);
    EXPECT_EQ(GetFocus(), focus);
}

static HHOOK creationHook;
static bool refuseText;
static WNDPROC editProcedure;

static LRESULT CALLBACK refusingSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT)
        return FALSE;
    return CallWindowProcA(editProcedure, window, message, wParam, lParam);
}

// Refuses a new edit control, or makes it refuse its text, as a process short of memory may.
static LRESULT CALLBACK refuseEditor(int code, WPARAM wParam, LPARAM lParam) {
    char className[32] = {};
    if (code == HCBT_CREATEWND)
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    if (_stricmp(className, "EDIT") != 0)
        return CallNextHookEx(creationHook, code, wParam, lParam);
    if (!refuseText)
        return 1;
    HWND editor = reinterpret_cast<HWND>(wParam);
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refusingSetText)));
    return 0;
}

TEST_F(EditorRecreation, FailureKeepsTheOldEditorAndSwitchesWordWrapBack) {
    start();
    for (bool text : {false, true}) {
        SCOPED_TRACE(text ? "the text refused" : "the editor refused");
        setEditorText("still here");
        HWND editor = noteEditor;
        setWordWrap(true);
        saveSettings();
        refuseText = text;
        creationHook = SetWindowsHookExA(WH_CBT, refuseEditor, nullptr, GetCurrentThreadId());
        int result = recreateEditor(1);
        UnhookWindowsHookEx(creationHook);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(settings.wordWrap, 0);
        EXPECT_EQ(noteEditor, editor);
        EXPECT_EQ(editorText(), "still here");
        SendMessageA(noteEditor, WM_CHAR, '!', 0);
        EXPECT_EQ(tabCaption(0), "Page 1*") << "the old editor keeps working";
        if (text) {
            EXPECT_EQ(readFileBytes(settingsFile())[3], 0) << "word wrap stays off in the file";
            EXPECT_STREQ(trayBalloon.szInfoTitle, "Word wrap not switched");
        }
    }
}
