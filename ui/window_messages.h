// The program's own window messages and timers, all in one place: a new one takes the next
// number here.
#pragma once
#include <windows.h>

// The tray icon's callback message to the main window. A second copy of the releases before
// this one hands the running copy's icon to the shell with this number, so it stays the one that
// they know.
constexpr UINT WM_TRAYICON = 6025;
// Posted by the writing thread when its page file is written.
constexpr UINT WM_PAGEWRITTEN = WM_APP + 1;
// Sent to the main window with the command id in wParam for each command of the editor menu.
constexpr UINT WM_EDITORCOMMAND = WM_APP + 2;
// Posted by a second copy to the running one: its tray icon goes to the shell once more.
constexpr UINT WM_SHOWTRAYICONAGAIN = WM_APP + 3;
// Posted to the main window that the global hotkey has shown: what a showing looks at follows.
constexpr UINT WM_CATCHUPAFTERSHOWING = WM_APP + 4;

// The main window's autosave, which runs while the window is shown.
constexpr UINT_PTR IDT_AUTOSAVE = 1;
constexpr UINT AUTOSAVE_PERIOD = 30000;
