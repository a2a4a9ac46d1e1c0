// The tray menu and the note editor's menu, built anew for every showing.
#pragma once
#include <windows.h>

// Only set while the editor menu is shown.
extern HMENU const& editorMenu;
extern HMENU const& editorSubmenu;

void destroyEditorMenu();

// MENU_TRAY or MENU_EDITOR; shows the menu at the cursor and returns when it has closed.
void showPopupMenu(int kind);
