#include "ui/window_menu.h"

#include "res/resource.h"
#include "ui/theme.h"
#include "ui/window_view.h"

namespace {

struct MenuItem {
    UINT id;
    const char* text;
};

const MenuItem THEME_ITEMS[] = {
    {IDM_THEME_WINDOWS, "Use the &Windows setting"},
    {IDM_THEME_LIGHT, "&Light"},
    {IDM_THEME_DARK, "&Dark"},
};

} // namespace

void addWindowMenuItems(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_PREVIOUSVERSIONS, "Previous &Versions...");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    HMENU themes = CreatePopupMenu();
    for (const MenuItem& item : THEME_ITEMS)
        AppendMenuA(themes, MF_STRING, item.id, item.text);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(themes), "T&heme");
    AppendMenuA(menu, MF_STRING, IDM_GLOBALHOTKEY, "Global &Hotkey...");
    AppendMenuA(menu, MF_STRING, IDM_ALWAYSONTOP, "Always on &Top");
    showWindowMenuChoices(window);
}

bool isWindowMenuCommand(UINT command) {
    return command == IDM_PREVIOUSVERSIONS || command == IDM_GLOBALHOTKEY ||
           command == IDM_ALWAYSONTOP ||
           (command >= IDM_THEME_WINDOWS && command <= IDM_THEME_DARK);
}

void showWindowMenuChoices(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    UINT chosen = THEME_ITEMS[static_cast<DWORD>(themeChoice())].id;
    CheckMenuRadioItem(menu, THEME_ITEMS[0].id, IDM_THEME_DARK, chosen, MF_BYCOMMAND);
    CheckMenuItem(menu, IDM_ALWAYSONTOP,
                  MF_BYCOMMAND | (alwaysOnTop() ? MF_CHECKED : MF_UNCHECKED));
}
