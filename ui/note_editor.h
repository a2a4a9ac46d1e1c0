// The note editor: the multi-line edit control that shows the current page.
#pragma once
#include <windows.h>

// Creates the editor in the main window with the style that wordWrap asks for and subclasses it.
void createNoteEditor(HWND parent);
LRESULT CALLBACK editorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Undo, Cut, Copy, Paste, Delete and Select All act on the editor; other ids do nothing.
void runEditingCommand(UINT id);
// Replaces the editor by one that wraps lines or not, with the same text, font, place and
// subclass; 1 on success. On failure the old editor stays and wordWrap is switched back.
int recreateEditor(int wrap);
// An editor wraps exactly when it does not scroll sideways.
bool editorWraps();
// The editor holds text that has not been saved since it was loaded or last copied for a save.
bool editorModified();
