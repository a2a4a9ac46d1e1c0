#include "ui/main_window.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "app/startup_steps.h"
#include "dialogs/about_dialog.h"
#include "dialogs/export_dialog.h"
#include "dialogs/hotkey_dialog.h"
#include "dialogs/preferences_dialog.h"
#include "dialogs/versions_dialog.h"
#include "platform/autostart.h"
#include "platform/session_end.h"
#include "res/resource.h"
#include "storage/settings_record.h"
#include "ui/current_page.h"
#include "ui/find.h"
#include "ui/global_hotkey.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"
#include "ui/text_insert.h"
#include "ui/theme.h"
#include "ui/tray_and_editor_menus.h"
#include "ui/tray_icon.h"
#include "ui/window_menu.h"
#include "ui/window_moves.h"
#include "ui/window_view.h"

#include <commctrl.h>

const char* const MAIN_WINDOW_CLASS = "CLS_jNotes";

namespace {

struct MainWindowState {
    bool quitRequested = false;
};

} // namespace

static ProgramState<MainWindowState> mainWindowState;
const bool& quitRequested = mainWindowState.quitRequested;

// The window on screen, before it looks at what may have changed while it was hidden.
static void showWindowAlone() {
    applyThemeOnce(mainWindow);
    applyAlwaysOnTop(mainWindow);
    ShowWindow(mainWindow, maximizeAtFirstShowing() ? SW_SHOWMAXIMIZED : SW_SHOW);
    windowVisible = true;
    SetTimer(mainWindow, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);
}

void showMainWindow(bool show) {
    if (show) {
        showWindowAlone();
        catchUpOnSettings();
        return;
    }
    savePage(currentPage);
    releaseSaveBuffer();
    KillTimer(mainWindow, IDT_AUTOSAVE);
    closeFindDialog();
    rememberWindowPlace(mainWindow);
    windowVisible = false;
    ShowWindow(mainWindow, SW_HIDE);
}

static void onCreate(HWND window) {
    endStartupStep("main_window");
    createTabStrip(window);
    createNoteEditor(window);
    endStartupStep("tab_strip_and_editor");
    setUpView(window);
    // Placed now, while the window is hidden and the editor empty, the children cost little;
    // placed by the first showing, the editor alone took longer than the rest of the showing.
    layOutChildren(window);
    endStartupStep("fonts_icons_and_places");
    SetTimer(window, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);
    addWindowMenuItems(window);
    startWithoutPage();
}

// The final close. Whatever waits in a modal loop finds the program ending and does nothing.
static void destroyWindows() {
    beginProgramEnd();
    rememberWindowPlace(mainWindow);
    unregisterGlobalHotkey(mainWindow);
    KillTimer(mainWindow, IDT_AUTOSAVE);
    // No writing thread outlives the program.
    releaseSaveBuffer();
    destroyEditorMenu();
    closeFindDialog();
    DestroyWindow(noteEditor);
    DestroyWindow(mainWindow);
}

// Text that can be kept nowhere keeps the program running, so that the user can copy it out.
static bool keepUnsavedTextElsewhere() {
    if (programEnding || rescueUnsavedText())
        return true;
    messageBox(mainWindow,
               "The text of the page could be kept nowhere: not in its file, not in Previous "
               "Versions, not in your Documents folder.\n\nJotty Notes stays open, so that you "
               "can copy the text elsewhere.",
               appCaption, MB_OK | MB_ICONERROR);
    return false;
}

// Ends the program once the page is saved, or once the user agrees to quit anyway and what could
// not be saved is kept elsewhere.
static void quitProgram() {
    bool quit;
    {
        ModalScope asking(ModalPurpose::QuitQuestion);
        // No autosave starts while the user is asked; the save waits for one still under way.
        KillTimer(mainWindow, IDT_AUTOSAVE);
        quit = saveCurrentPageOrKeep() ||
               (askAboutCurrentPage("The page \"%s\" could not be saved.\n\n"
                                    "Do you want to quit anyway? Its text will be kept in "
                                    "Previous Versions, or else in your Documents folder.") &&
                keepUnsavedTextElsewhere());
    }
    if (programEnding)
        return;
    if (quit) {
        destroyWindows();
        return;
    }
    // The text stays in the editor, in a shown window, so the user can copy it out.
    mainWindowState.quitRequested = false;
    showMainWindow(true);
    bringWindowForward(mainWindow);
}

// The close button only hides the window; the quit command ends the program.
static void onClose() {
    if (programEnding || modalOpenFor(ModalPurpose::QuitQuestion))
        return;
    if (quitRequested) {
        quitProgram();
        return;
    }
    savePage(currentPage);
    showMainWindow(false);
}

// A page that cannot be saved holds up the end of the session and tells Windows why.
static BOOL onQueryEndSession() {
    if (programEnding || saveCurrentPageOrKeep()) {
        allowSessionEnd(mainWindow);
        return TRUE;
    }
    showMainWindow(true);
    bringWindowForward(mainWindow);
    blockSessionEnd(mainWindow, "Your notes could not be saved.");
    return FALSE;
}

// The session ends even when the page held it up: what cannot be saved is kept elsewhere.
static void onEndSession(bool ending) {
    if (!ending || programEnding)
        return;
    savePage(currentPage);
    rescueUnsavedText();
    destroyWindows();
}

void closeAfterOutsideQuit() {
    if (programEnding || !IsWindow(mainWindow))
        return;
    onEndSession(true);
    // The quit message of the final close has nothing left to end.
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// The user shows the window: a page that another program changed meanwhile is brought in.
static void openMainWindow() {
    showMainWindow(true);
    savePage(currentPage);
}

static bool opensModalWindow(UINT id) {
    return id == IDM_ABOUT || id == IDM_PREFERENCES || id == IDM_EXPORTPAGE ||
           id == IDM_PREVIOUSVERSIONS || id == IDM_GLOBALHOTKEY;
}

static void runDialogCommand(UINT id, CommandOrigin origin) {
    ModalScope running(ModalPurpose::Command, id);
    switch (id) {
        case IDM_ABOUT: showAboutDialog(mainWindow); break;
        case IDM_PREFERENCES:
            openPreferences(mainWindow);
            // The tray menu's Preferences saves the page after the dialog, the others do not.
            if (origin == CommandOrigin::TrayKeysOrOtherProgram)
                savePage(currentPage);
            break;
        case IDM_EXPORTPAGE: exportPageAs(mainWindow, currentPage); break;
        case IDM_PREVIOUSVERSIONS: openPreviousVersions(mainWindow); break;
        case IDM_GLOBALHOTKEY: openHotkeyDialog(mainWindow); break;
    }
}

// A window asked for while another is open comes after it, never inside its loop; the window
// that is open, asked for again, is only brought forward.
static void runAfterModalWindows(UINT id) {
    SetForegroundWindow(GetLastActivePopup(mainWindow));
    if (!modalOpenFor(ModalPurpose::Command, id))
        holdCommand(id);
}

// Ctrl+Tab and its like show a page as a click on its tab does: the page being left is saved
// first, and when that fails the user stays where they are.
static void showNeighbouringPage(int step) {
    int page = (currentPage + step) % PAGE_COUNT;
    selectTab(page);
    showPage(page);
}

void runCommand(UINT id, CommandOrigin origin) {
    if (programEnding)
        return;
    if (opensModalWindow(id)) {
        if (modalWindowOpen())
            runAfterModalWindows(id);
        else
            runDialogCommand(id, origin);
        return;
    }
    switch (id) {
        case IDM_OPEN:
            if (!windowVisible)
                openMainWindow();
            break;
        case IDM_EXIT:
            mainWindowState.quitRequested = true;
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
            break;
        case IDM_INSERTDATETIME: insertDateTime(); break;
        case IDM_INSERTLINE: insertSeparator(); break;
        case IDM_SAVEPAGE: savePage(currentPage); break;
        case IDM_NEXTPAGE: showNeighbouringPage(1); break;
        case IDM_PREVIOUSPAGE: showNeighbouringPage(PAGE_COUNT - 1); break;
        case IDM_DELETEWORD: deleteWordBeforeCaret(); break;
        case IDM_TEXTLARGER: changeTextSize(1); break;
        case IDM_TEXTSMALLER: changeTextSize(-1); break;
        case IDM_TEXTNORMAL: changeTextSize(0); break;
        case IDM_FIND: openFindDialog(); break;
        case IDM_FINDNEXT: findAgain(true); break;
        case IDM_FINDPREVIOUS: findAgain(false); break;
        case IDM_THEME_WINDOWS: chooseTheme(mainWindow, ThemeChoice::FollowWindows); break;
        case IDM_THEME_LIGHT: chooseTheme(mainWindow, ThemeChoice::Light); break;
        case IDM_THEME_DARK: chooseTheme(mainWindow, ThemeChoice::Dark); break;
        case IDM_ALWAYSONTOP: setAlwaysOnTop(mainWindow, !alwaysOnTop()); break;
        default: runEditingCommand(id); break;
    }
}

static void onCommand(WPARAM wParam) {
    if (HIWORD(wParam) == EN_CHANGE)
        takePageChange();
    else
        runCommand(LOWORD(wParam), CommandOrigin::TrayKeysOrOtherProgram);
}

static void onNotify(const NMHDR* header) {
    if (header->hwndFrom != tabStrip || header->code != TCN_SELCHANGE)
        return;
    int page = static_cast<int>(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0));
    if (page != currentPage)
        showPage(page);
}

static void onTrayIcon(LPARAM mouseEvent) {
    if (programEnding)
        return;
    if (mouseEvent == WM_RBUTTONUP)
        showPopupMenu(MENU_TRAY);
    else if (mouseEvent == WM_LBUTTONDBLCLK && windowVisible)
        bringWindowForward(mainWindow);
    else if (mouseEvent == WM_LBUTTONDBLCLK)
        openMainWindow();
}

// True when the command is the program's own and ends here.
static bool onSystemCommand(WPARAM command) {
    if (command == SC_MINIMIZE)
        savePage(currentPage);
    if (!isWindowMenuCommand(static_cast<UINT>(command)))
        return false;
    runCommand(static_cast<UINT>(command), CommandOrigin::TrayKeysOrOtherProgram);
    showWindowMenuChoices(mainWindow);
    return true;
}

// The global hotkey brings the notes to the front, with the keyboard in the editor at its caret;
// pressed while they are in front, it hides them, with the save that hiding does.
static void onHotkey() {
    if (programEnding)
        return;
    if (modalWindowOpen()) {
        SetForegroundWindow(GetLastActivePopup(mainWindow));
        return;
    }
    HWND front = GetForegroundWindow();
    if (windowVisible && !IsIconic(mainWindow) && front &&
        GetAncestor(front, GA_ROOTOWNER) == mainWindow) {
        showMainWindow(false);
        return;
    }
    // The window comes at once; what a showing looks at (the settings file, another program's
    // copy of the page) follows as the next message, before any key the user types.
    if (!windowVisible) {
        showWindowAlone();
        PostMessageA(mainWindow, WM_CATCHUPAFTERSHOWING, 0, 0);
    } else if (IsIconic(mainWindow)) {
        ShowWindow(mainWindow, SW_RESTORE);
    }
    // The hotkey gives the program the right to the foreground.
    SetForegroundWindow(mainWindow);
    SetFocus(noteEditor);
}

static void catchUpAfterShowing() {
    if (programEnding || !windowVisible)
        return;
    catchUpOnSettings();
    savePage(currentPage);
}

static void onDestroy() {
    releaseView();
    releaseTheme();
    CloseHandle(singleInstanceMutex);
    singleInstanceMutex = nullptr;
    PostQuitMessage(0);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The shell's taskbar was re-created and has forgotten the icon.
    if (message == taskbarCreatedMessage && !programEnding)
        showTrayIcon(instanceHandle, mainWindow);
    if (message == findMessage) {
        takeFindMessage(*reinterpret_cast<const FINDREPLACEA*>(lParam));
        return 0;
    }
    switch (message) {
        case WM_CREATE: onCreate(window); break;
        case WM_SIZE:
            layOutChildren(window);
            windowSized(window, wParam);
            break;
        case WM_EXITSIZEMOVE: rememberWindowPlace(window); break;
        case WM_HOTKEY: onHotkey(); return 0;
        case WM_CATCHUPAFTERSHOWING: catchUpAfterShowing(); return 0;
        case WM_SETTINGCHANGE: takeSettingChange(window, wParam, lParam); break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush = reinterpret_cast<HWND>(lParam) == noteEditor
                                   ? editorColors(reinterpret_cast<HDC>(wParam))
                                   : nullptr)
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_DPICHANGED:
            takeNewDpi(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETFOCUS: SetFocus(noteEditor); break;
        case WM_CLOSE: onClose(); return 0;
        case WM_DESTROY: onDestroy(); break;
        case WM_DRAWITEM: drawTabItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); break;
        case WM_NOTIFY: onNotify(reinterpret_cast<const NMHDR*>(lParam)); break;
        case WM_COMMAND: onCommand(wParam); break;
        case WM_EDITORCOMMAND:
            runCommand(static_cast<UINT>(wParam), CommandOrigin::EditorMenu);
            break;
        case WM_SYSCOMMAND:
            if (onSystemCommand(wParam & 0xFFF0))
                return 0;
            break;
        // The autosave comes while the user types, so the disk is left to a thread of its own.
        case WM_TIMER: savePageInBackground(currentPage); break;
        case WM_PAGEWRITTEN: takeInFinishedPageWrite(); break;
        case WM_TRAYICON: onTrayIcon(lParam); break;
        case WM_SHOWTRAYICONAGAIN:
            if (!programEnding)
                showTrayIconAgain();
            break;
        case WM_LBUTTONDOWN: dragByClientArea(window); return 0;
        // Text typed since the last save is not lost when the session ends or the machine sleeps.
        case WM_QUERYENDSESSION: return onQueryEndSession();
        case WM_ENDSESSION: onEndSession(wParam != FALSE); return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND)
                savePage(currentPage);
            return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
