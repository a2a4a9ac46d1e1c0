// The main window: the tab strip with one tab per page over the note editor, the one handler of
// the program's commands, and showing, hiding and quitting.
#pragma once
#include <windows.h>

#include "ui/window_messages.h"

extern const char* const MAIN_WINDOW_CLASS;

// The next close ends the program instead of hiding the window.
extern const bool& quitRequested;

// Where a command came from, when that changes what follows it: the main window's own commands
// (the tray menu, the keys, another program), the editor menu, or start-up.
enum class CommandOrigin { TrayKeysOrOtherProgram, EditorMenu, StartUp };

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Every command of the program, whichever menu, key or process sent it.
void runCommand(UINT id, CommandOrigin origin);
void showMainWindow(bool show);
// A quit message from another program has ended the message loop before the final close: the
// page is saved, or its text kept elsewhere, and the windows closed.
void closeAfterOutsideQuit();
