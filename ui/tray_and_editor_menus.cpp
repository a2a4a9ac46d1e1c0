#include "ui/tray_and_editor_menus.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "res/resource.h"
#include "ui/modal.h"

namespace {

struct EditorMenus {
    HMENU menu = nullptr;
    HMENU submenu = nullptr;
};

} // namespace

static ProgramState<EditorMenus> editorMenus;
HMENU const& editorMenu = editorMenus.menu;
HMENU const& editorSubmenu = editorMenus.submenu;

struct MenuItem {
    UINT id; // 0 for a separator
    const char* text;
};

template <size_t count> static void appendItems(HMENU menu, const MenuItem (&items)[count]) {
    for (const MenuItem& item : items) {
        if (item.id)
            AppendMenuA(menu, MF_STRING, item.id, item.text);
        else
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
}

static void showEditorMenu(POINT cursor) {
    static const MenuItem submenuItems[] = {
        {IDM_EXPORTPAGE, "Export this page..."},
        {IDM_PREFERENCES, "Preferences..."},
        {IDM_ABOUT, "About..."},
        {0, nullptr},
        {IDM_EXIT, "Shutdown Jotty Notes"},
    };
    static const MenuItem editingItems[] = {
        {0, nullptr},           {IDM_UNDO, "Undo"}, {0, nullptr},
        {IDM_CUT, "Cut"},       {IDM_COPY, "Copy"}, {IDM_PASTE, "Paste"},
        {IDM_DELETE, "Delete"}, {0, nullptr},       {IDM_SELECTALL, "Select All"},
    };
    editorMenus.submenu = CreatePopupMenu();
    editorMenus.menu = CreatePopupMenu();
    if (editorMenu) {
        appendItems(editorSubmenu, submenuItems);
        AppendMenuA(editorMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(editorSubmenu), "Jotty Notes");
        appendItems(editorMenu, editingItems);
        // The editor owns its menu: the menu's states and commands are its own.
        HWND editor = GetDlgItem(mainWindow, IDC_NOTEEDITOR);
        SetForegroundWindow(editor);
        trackPopupMenu(editorMenu, 0, cursor, editor);
    }
    destroyEditorMenu();
}

void destroyEditorMenu() {
    // Once appended, the submenu belongs to the top-level popup and goes with it.
    if (editorMenu)
        DestroyMenu(editorMenu);
    else if (editorSubmenu)
        DestroyMenu(editorSubmenu);
    editorMenus.menu = nullptr;
    editorMenus.submenu = nullptr;
}

// While a modal window is open the main window is disabled, and a menu that it owns may close
// at once: the menu then belongs to the window the user can act in, and its command still goes
// to the main window.
static HWND trayMenuOwner() {
    HWND owner = mainWindow;
    for (HWND popup = GetLastActivePopup(owner); !IsWindowEnabled(owner) && popup != owner;
         popup = GetLastActivePopup(owner))
        owner = popup;
    return owner;
}

static void showTrayMenu(POINT cursor) {
    static const MenuItem items[] = {
        {IDM_OPEN, "&Open Jotty Notes"},
        {IDM_PREFERENCES, "&Preferences..."},
        {IDM_ABOUT, "&About..."},
        {0, nullptr},
        {IDM_EXIT, "E&xit"},
    };
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    appendItems(menu, items);
    SetMenuDefaultItem(menu, 0, TRUE);
    // The owner must be in the foreground, or the menu would not close when the user
    // clicks elsewhere.
    HWND owner = trayMenuOwner();
    SetForegroundWindow(owner);
    UINT id = trackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_RETURNCMD, cursor, owner);
    DestroyMenu(menu);
    if (id)
        PostMessageA(mainWindow, WM_COMMAND, id, 0);
}

void showPopupMenu(int kind) {
    POINT cursor;
    GetCursorPos(&cursor);
    if (kind == MENU_EDITOR)
        showEditorMenu(cursor);
    else if (kind == MENU_TRAY)
        showTrayMenu(cursor);
}
