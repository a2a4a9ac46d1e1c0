// The main window: the tab strip with one tab per page over the note editor, and the one
// handler of the program's commands.
#pragma once
#include <windows.h>

extern const char* const MAIN_WINDOW_CLASS;
constexpr UINT_PTR IDT_AUTOSAVE = 1;
constexpr UINT AUTOSAVE_PERIOD = 30000;

extern HWND mainWindow;
extern HWND tabStrip;
extern HWND noteEditor; // replaced when word wrap changes: read it anew, keep no copy
extern WNDPROC savedEditProc;
extern int currentPage;
// False while the editor does not hold the current page's notes because its file could not
// be read; that file is then never written.
extern bool currentPageRead;
extern bool windowVisible;
extern bool quitRequested;
// Set once the final close has begun (the quit command, the end of the session): from then on
// nothing is saved, shown or written, whatever was waiting in a modal loop.
extern bool programEnding;

enum class PageSwitch { Shown, NotSaved, NotRead };

// Where a command came from, when that changes what follows it.
enum class CommandOrigin { MainWindow, EditorMenu, StartUp };

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Every command of the program, whichever menu, key or process sent it.
void runCommand(UINT id, CommandOrigin origin);
void showMainWindow(bool show);
// Makes another page current. The page being left is saved first; when that save fails and
// the editor holds unsaved text, or the new page's file cannot be read, nothing changes. A page
// shown only for this run is not stored as the page to start on.
PageSwitch showPage(int page, bool storeAsStartPage = true);
// Reads the current page's file into the editor again, as a switch to it would; false when the
// file cannot be read.
bool reloadCurrentPage();
// Settings that stood in for an unreadable settings file give way to the file once it can be
// read: the tabs, word wrap and the start-up Run value follow it.
void catchUpOnSettings();
