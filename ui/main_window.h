// The main window: the tab strip with one tab per page over the note editor.
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

enum class PageSwitch { Shown, NotSaved, NotRead };

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void showMainWindow(bool show);
// Makes another page current. The page being left is saved first; when that save fails and
// the editor holds unsaved text, or the new page's file cannot be read, nothing changes.
PageSwitch showPage(int page);
