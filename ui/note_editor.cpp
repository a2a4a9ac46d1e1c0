#include "ui/note_editor.h"

#include "app/app_state.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "ui/main_window.h"

// The control's default limit of 32,767 typed characters would stop the user on a long page.
static const LPARAM EDITOR_TEXT_LIMIT = 0x7FFFFFFE;

static DWORD editorStyle(bool wrap) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
    return wrap ? style : style | WS_HSCROLL | ES_AUTOHSCROLL;
}

void createNoteEditor(HWND parent) {
    noteEditor = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", editorStyle(settings.wordWrap == 1),
                                 0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_NOTEEDITOR),
                                 instanceHandle, nullptr);
    SendMessageA(noteEditor, EM_SETLIMITTEXT, EDITOR_TEXT_LIMIT, 0);
    savedEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(noteEditor, GWL_WNDPROC, reinterpret_cast<LONG>(editorSubclassProc)));
}

LRESULT CALLBACK editorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(savedEditProc, window, message, wParam, lParam);
}
