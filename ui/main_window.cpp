#include "ui/main_window.h"

#include "app/app_state.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "storage/page_save.h"
#include "dialogs/about_dialog.h"
#include "dialogs/preferences_dialog.h"
#include "storage/settings.h"
#include "ui/note_editor.h"
#include "ui/popup_menu.h"
#include "ui/tab_strip.h"
#include "ui/text_insert.h"
#include "ui/tray_icon.h"

#include <commctrl.h>
#include <cstdio>
#include <string>

const char* const MAIN_WINDOW_CLASS = "CLS_jNotes";

HWND mainWindow;
HWND tabStrip;
HWND noteEditor;
WNDPROC savedEditProc;
int currentPage;
bool currentPageRead = true;
bool windowVisible = true;
bool quitRequested;

// A failed save loses nothing while the editor holds only what is already on disk.
static bool saveCurrentPageOrKeep() {
    return savePage(currentPage) || !editorModified();
}

void showMainWindow(bool show) {
    if (show) {
        ShowWindow(mainWindow, SW_SHOW);
        windowVisible = true;
        SetTimer(mainWindow, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);
        return;
    }
    savePage(currentPage);
    releaseSaveBuffer();
    KillTimer(mainWindow, IDT_AUTOSAVE);
    windowVisible = false;
    ShowWindow(mainWindow, SW_HIDE);
}

static void warnPageUnreadable(int page) {
    char text[200];
    snprintf(text, sizeof text,
             "The notes of \"%s\" could not be read, so the page was left unchanged.\n"
             "Another program may be using its file.",
             settings.pageNames[page]);
    MessageBoxA(mainWindow, text, appCaption, MB_OK | MB_ICONWARNING);
}

static void putPageInEditor(int page, const std::string& text) {
    releaseSaveBuffer();
    currentPage = page;
    settings.startPage = static_cast<int16_t>(page);
    saveSettings();
    currentPageRead = SetWindowTextA(noteEditor, text.c_str()) != 0;
    SendMessageA(noteEditor, EM_SETMODIFY, FALSE, 0);
    if (!currentPageRead)
        warnPageUnreadable(page);
}

PageSwitch showPage(int page) {
    if (page < 0 || page >= PAGE_COUNT)
        return PageSwitch::NotRead;
    if (!saveCurrentPageOrKeep()) {
        selectTab(currentPage);
        return PageSwitch::NotSaved;
    }
    std::string text;
    char path[MAX_PATH];
    if (!formatPagePath(path, page) || readPageText(path, text) == PageRead::Failed) {
        selectTab(currentPage);
        warnPageUnreadable(page);
        return PageSwitch::NotRead;
    }
    putPageInEditor(page, text);
    return PageSwitch::Shown;
}

static void onCreate(HWND window) {
    createTabStrip(window);
    createNoteEditor(window);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(noteEditor, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageA(tabStrip, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SetTimer(window, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);
    // Page 0 is written back at once so that its file exists from the first start, but a file
    // that exists and could not be read is left alone.
    currentPageRead = loadPage(0) != PageRead::Failed;
    if (currentPageRead)
        savePage(0);
}

static void layoutChildren(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    SetWindowPos(tabStrip, HWND_TOP, 0, 0, width, height, 0);
    SetWindowPos(noteEditor, HWND_TOP, 5, 28, width > 10 ? width - 10 : 0,
                 height > 30 ? height - 30 : 0, 0);
}

static void bringForward() {
    SetForegroundWindow(mainWindow);
    SetWindowPos(mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

static bool confirmQuitWithoutSaving() {
    char text[200];
    snprintf(text, sizeof text,
             "The page \"%s\" could not be saved.\n\n"
             "Do you want to quit anyway and lose your changes?",
             settings.pageNames[currentPage]);
    return MessageBoxA(mainWindow, text, appCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

// The close button only hides the window; the quit command ends the program.
static void onClose(HWND window) {
    bool saved = saveCurrentPageOrKeep();
    if (!quitRequested) {
        showMainWindow(false);
        return;
    }
    if (!saved && !confirmQuitWithoutSaving()) {
        // The text stays in the editor, in a shown window, so the user can copy it out.
        quitRequested = false;
        showMainWindow(true);
        bringForward();
        return;
    }
    KillTimer(window, IDT_AUTOSAVE);
    destroyEditorMenu();
    DestroyWindow(noteEditor);
    DestroyWindow(window);
}

static void requestQuit() {
    quitRequested = true;
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
}

static void onCommand(WPARAM wParam) {
    if (HIWORD(wParam) == EN_CHANGE) {
        markCurrentPageDirty();
        return;
    }
    switch (LOWORD(wParam)) {
        case IDM_OPEN:
            if (!windowVisible)
                showMainWindow(true);
            break;
        case IDM_ABOUT: showAboutDialog(mainWindow); break;
        case IDM_EXIT: requestQuit(); break;
        case IDM_PREFERENCES:
            openPreferences(mainWindow);
            savePage(currentPage);
            break;
        case IDM_INSERTDATETIME: insertDateTime(); break;
        case IDM_INSERTLINE: insertSeparator(); break;
        case IDM_SAVEPAGE: savePage(currentPage); break;
    }
}

static void onNotify(const NMHDR* header) {
    if (header->hwndFrom != tabStrip || header->code != TCN_SELCHANGE)
        return;
    int page = static_cast<int>(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0));
    if (page != currentPage)
        showPage(page);
}

static void onTrayIcon(LPARAM mouseEvent) {
    if (mouseEvent == WM_RBUTTONUP)
        showPopupMenu(MENU_TRAY);
    else if (mouseEvent == WM_LBUTTONDBLCLK && windowVisible)
        bringForward();
    else if (mouseEvent == WM_LBUTTONDBLCLK)
        showMainWindow(true);
}

static void onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The shell's taskbar was re-created and has forgotten the icon.
    if (message == taskbarCreatedMessage)
        showTrayIcon(instanceHandle, mainWindow);
    switch (message) {
        case WM_CREATE: onCreate(window); break;
        case WM_SIZE: layoutChildren(window); break;
        case WM_SETFOCUS: SetFocus(noteEditor); break;
        case WM_PAINT: onPaint(window); break;
        case WM_CLOSE: onClose(window); return 0;
        case WM_DESTROY:
            CloseHandle(singleInstanceMutex);
            singleInstanceMutex = nullptr;
            PostQuitMessage(0);
            break;
        case WM_DRAWITEM: drawTabItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); break;
        case WM_NOTIFY: onNotify(reinterpret_cast<const NMHDR*>(lParam)); break;
        case WM_COMMAND: onCommand(wParam); break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE)
                savePage(currentPage);
            break;
        // The autosave comes while the user types, so the disk is left to a thread of its own.
        case WM_TIMER: savePageInBackground(currentPage); break;
        case WM_PAGEWRITTEN: takeInFinishedPageWrite(); break;
        case WM_TRAYICON: onTrayIcon(lParam); break;
        case WM_LBUTTONDOWN:
            // A press on the window's own client area moves it like its title bar.
            SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        // Text typed since the last save is not lost when the session ends or the machine sleeps.
        case WM_QUERYENDSESSION: savePage(currentPage); return TRUE;
        case WM_ENDSESSION:
            if (wParam)
                savePage(currentPage);
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND)
                savePage(currentPage);
            return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
