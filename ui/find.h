// Find in the notes: the system's Find dialog (Ctrl+F), and F3 and Shift+F3 for the next and
// the previous match, through all five pages. The page on screen is searched from the caret,
// then the other pages in tab order in their files as they stand on disk, then the rest of the
// page on screen; a page is shown only where a match is, as a click on its tab shows it.
#pragma once
#include <windows.h>

// The message the Find dialog sends its owner, the main window.
extern const UINT findMessage;

// Ctrl+F: opens the dialog with the selection (when it lies on one line) or the last search;
// brings it forward when it is open.
void openFindDialog();
// F3 (down) and Shift+F3 (up): the last search again; with none yet, the dialog.
void findAgain(bool down);
// What the dialog tells the main window: a search, or that it is closing.
void takeFindMessage(const FINDREPLACEA& request);
// The dialog, while it is open: the message loop hands it its keys.
HWND findDialog();
// The window is hidden or the program ends: the dialog closes.
void closeFindDialog();
