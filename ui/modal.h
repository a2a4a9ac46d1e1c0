// Every modal window of the program opens through these. A modal loop lets every message in,
// from another program's command to the end of the session, so the program keeps count of the
// windows open: a command that would open one more waits until the last has closed. The code
// after one of these checks that the program has not begun to end meanwhile.
#pragma once
#include <windows.h>

#include <commdlg.h>

int messageBox(HWND owner, const char* text, const char* caption, UINT type);
INT_PTR dialogBox(int templateId, HWND owner, DLGPROC procedure);
bool askSaveFileName(OPENFILENAMEA& request);
// TrackPopupMenu's result: with TPM_RETURNCMD, the command chosen.
UINT trackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner);

// A warning question about the current page, its name in place of the format's "%s", with No as
// the default answer; true for Yes.
bool askAboutCurrentPage(const char* format);

bool modalWindowOpen();
// The command reaches the main window again once the last modal window has closed; a command
// held before it is dropped.
void holdCommand(UINT id);
