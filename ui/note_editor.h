// The note editor: the multi-line edit control that shows the current page.
#pragma once
#include <windows.h>

// Creates the editor in the main window with the style that wordWrap asks for and subclasses it.
void createNoteEditor(HWND parent);
LRESULT CALLBACK editorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
