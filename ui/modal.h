// Every modal window of the program opens through these. A modal loop lets every message in,
// from another program's command to the end of the session, so the program keeps one record of
// the modal windows that are open and why: a command that would open one more waits until the
// last has closed, and the code after one of these checks that the program has not begun to end
// meanwhile (programEnding).
#pragma once
#include <windows.h>

#include <commdlg.h>

int messageBox(HWND owner, const char* text, const char* caption, UINT type);
// The dialog procedure finds the initial value in WM_INITDIALOG's lParam.
INT_PTR dialogBox(int templateId, HWND owner, DLGPROC procedure, LPARAM initial = 0);
bool askSaveFileName(OPENFILENAMEA& request);
// TrackPopupMenu's result: with TPM_RETURNCMD, the command chosen.
UINT trackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner);

// Why modal windows are open: for a command's window, or for the question whether to quit anyway.
enum class ModalPurpose { Command, QuitQuestion };

// While it lives, what it opens is open for that purpose (and, for a command, that command).
class ModalScope {
  public:
    explicit ModalScope(ModalPurpose purpose, UINT command = 0);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

bool modalWindowOpen();
// A scope of this purpose (and command, for a command) is open.
bool modalOpenFor(ModalPurpose purpose, UINT command = 0);
// The command reaches the main window again once the last modal window has closed; a command
// held before it is dropped.
void holdCommand(UINT id);
