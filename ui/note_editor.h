// The note editor: the multi-line edit control that shows the current page.
#pragma once
#include <windows.h>

#include <string>

// Replaced when word wrap changes: read it anew, keep no copy.
extern HWND const& noteEditor;
// The edit control's own procedure, which the editor's subclass passes messages on to.
extern WNDPROC const& savedEditProc;

// Creates the editor in the main window with the style that wordWrap asks for and subclasses it.
void createNoteEditor(HWND parent);
LRESULT CALLBACK editorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows a page's text as it was read; unlike text set by anyone else, it is no change of the
// page. False when the editor could not take it.
bool showLoadedText(const char* text);
// Undo, Cut, Copy, Paste, Delete and Select All act on the editor; other ids do nothing.
void runEditingCommand(UINT id);
// The first characters of a line of the editor, at most the given length of them; fewer where the
// line is shorter, and none beyond the 65,535 that the control gives out at once.
std::string editorLineStart(int line, DWORD length);
// Ctrl+Backspace: the word before the caret goes, as one change that Undo takes back.
void deleteWordBeforeCaret();
// Replaces the editor by one that wraps lines or not, with the same text, font, place and
// subclass; 1 on success. On failure the old editor stays and wordWrap is switched back.
int recreateEditor(int wrap);
// An editor wraps exactly when it does not scroll sideways.
bool editorWraps();
