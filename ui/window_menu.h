// The window menu (Alt+Space, or a right-click on the title bar) belongs to Windows; the program
// adds its own items at its end: Previous Versions, the theme, the global hotkey and Always on
// Top. Its commands come as system commands.
#pragma once
#include <windows.h>

void addWindowMenuItems(HWND window);
// One of the items the program added.
bool isWindowMenuCommand(UINT command);
// The radio mark and the check show the choices as they stand.
void showWindowMenuChoices(HWND window);
