#include "ui/note_editor.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "ui/tray_and_editor_menus.h"
#include "ui/theme.h"
#include "ui/tray_icon.h"
#include "ui/window_messages.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

struct NoteEditorState {
    HWND editor = nullptr;
    WNDPROC classProcedure = nullptr;
    // The program is putting a page's text in: that is no change of the page.
    bool showingLoadedText = false;
    // A wheel turned with Ctrl by less than a notch so far.
    int wheelTurn = 0;
};

} // namespace

static ProgramState<NoteEditorState> editorState;
HWND const& noteEditor = editorState.editor;
WNDPROC const& savedEditProc = editorState.classProcedure;

// The control's default limit of 32,767 typed characters would stop the user on a long page.
static const LPARAM EDITOR_TEXT_LIMIT = 0x7FFFFFFE;

// The selection stays in sight while the Find dialog has the keyboard.
static DWORD editorStyle(bool wrap) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    return wrap ? style : style | WS_HSCROLL | ES_AUTOHSCROLL;
}

static WNDPROC subclass(HWND editor, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void createNoteEditor(HWND parent) {
    editorState.editor = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "", editorStyle(settings.wordWrap == 1), 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(IDC_NOTEEDITOR), instanceHandle, nullptr);
    SendMessageA(noteEditor, EM_SETLIMITTEXT, EDITOR_TEXT_LIMIT, 0);
    editorState.classProcedure = subclass(noteEditor, editorSubclassProc);
}

bool showLoadedText(const char* text) {
    editorState.showingLoadedText = true;
    bool shown = SetWindowTextA(noteEditor, text) != FALSE;
    editorState.showingLoadedText = false;
    return shown;
}

bool editorWraps() {
    return (GetWindowLongA(noteEditor, GWL_STYLE) & ES_AUTOHSCROLL) == 0;
}

static void setItemEnabled(HMENU menu, UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

static void updateMenuItems(HMENU menu) {
    setItemEnabled(menu, IDM_UNDO, SendMessageA(noteEditor, EM_CANUNDO, 0, 0) != 0);
    setItemEnabled(menu, IDM_PASTE, IsClipboardFormatAvailable(CF_TEXT) != FALSE);
    DWORD selection = static_cast<DWORD>(SendMessageA(noteEditor, EM_GETSEL, 0, 0));
    bool selected = LOWORD(selection) != HIWORD(selection);
    setItemEnabled(menu, IDM_CUT, selected);
    setItemEnabled(menu, IDM_COPY, selected);
    setItemEnabled(menu, IDM_DELETE, selected);
}

namespace {

struct EditingCommand {
    UINT command;
    UINT message;
    LPARAM lParam;
};

const EditingCommand EDITING_COMMANDS[] = {
    {IDM_UNDO, WM_UNDO, 0},   {IDM_CUT, WM_CUT, 0},      {IDM_COPY, WM_COPY, 0},
    {IDM_PASTE, WM_PASTE, 0}, {IDM_DELETE, WM_CLEAR, 0}, {IDM_SELECTALL, EM_SETSEL, -1},
};

} // namespace

static const EditingCommand* findEditingCommand(UINT id) {
    for (const EditingCommand& entry : EDITING_COMMANDS) {
        if (entry.command == id)
            return &entry;
    }
    return nullptr;
}

void runEditingCommand(UINT id) {
    if (const EditingCommand* entry = findEditingCommand(id))
        SendMessageA(noteEditor, entry->message, 0, entry->lParam);
}

static bool isWordByte(char c) {
    return IsCharAlphaNumericA(c) || c == '_';
}

static bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the word before the given place starts: blanks are passed over, then a word, or else a
// run of other marks.
static size_t wordStart(const std::string& line, size_t end) {
    size_t start = end;
    while (start > 0 && isBlank(line[start - 1]))
        --start;
    bool word = start > 0 && isWordByte(line[start - 1]);
    while (start > 0 && !isBlank(line[start - 1]) && isWordByte(line[start - 1]) == word)
        --start;
    return start;
}

std::string editorLineStart(int line, DWORD length) {
    std::string text(length + 1, '\0');
    *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(std::min<size_t>(text.size(), 0xFFFF));
    text.resize(SendMessageA(noteEditor, EM_GETLINE, line, reinterpret_cast<LPARAM>(&text[0])));
    return text;
}

void deleteWordBeforeCaret() {
    DWORD from = 0;
    DWORD caret = 0;
    SendMessageA(noteEditor, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&caret));
    int line = static_cast<int>(SendMessageA(noteEditor, EM_LINEFROMCHAR, caret, 0));
    DWORD lineStart = static_cast<DWORD>(SendMessageA(noteEditor, EM_LINEINDEX, line, 0));
    // A selection goes as it is; at the start of a line (or far into a very long one, which
    // EM_GETLINE cannot give) the character before goes, as Backspace takes it.
    if (from == caret && (caret <= lineStart || caret - lineStart >= 0x7FFF)) {
        SendMessageA(noteEditor, WM_CHAR, VK_BACK, 0);
        return;
    }
    if (from == caret)
        from = lineStart + static_cast<DWORD>(wordStart(editorLineStart(line, caret - lineStart),
                                                        caret - lineStart));
    SendMessageA(noteEditor, EM_SETSEL, from, caret);
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(""));
}

// Ctrl and the mouse wheel make the text larger or smaller, a step a notch.
static void takeWheel(HWND window, WPARAM wParam) {
    int& turn = editorState.wheelTurn;
    turn += GET_WHEEL_DELTA_WPARAM(wParam);
    for (; turn >= WHEEL_DELTA; turn -= WHEEL_DELTA)
        SendMessageA(GetParent(window), WM_EDITORCOMMAND, IDM_TEXTLARGER, 0);
    for (; turn <= -WHEEL_DELTA; turn += WHEEL_DELTA)
        SendMessageA(GetParent(window), WM_EDITORCOMMAND, IDM_TEXTSMALLER, 0);
}

// The page keeps 8-bit text in the system's code page, while the control would take in any
// character: the clipboard's text is taken in as the page will keep it, so that the screen
// never shows what the file cannot hold.
static void pasteAsThePageKeepsIt(HWND editor) {
    if (!OpenClipboard(editor))
        return;
    std::string text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const WCHAR* wide = data ? static_cast<const WCHAR*>(GlobalLock(data)) : nullptr) {
        int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            text.resize(size);
            WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], size, nullptr, nullptr);
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (!text.empty())
        SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// A command may have destroyed the control it came to (the final close, a re-creation):
// nothing is passed on to a window that is gone.
static LRESULT passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window))
        return 0;
    return CallWindowProcA(savedEditProc, window, message, wParam, lParam);
}

// A multi-line edit control reports no change for a text set whole, and forgets that it was
// modified: text that an automation or accessibility tool puts in is a change like typing.
static LRESULT takeSetText(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT result = passOn(window, WM_SETTEXT, wParam, lParam);
    if (result && !editorState.showingLoadedText && IsWindow(window))
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), EN_CHANGE),
                     reinterpret_cast<LPARAM>(window));
    return result;
}

LRESULT CALLBACK editorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // The editor menu's commands go where every command goes; the editing ones end here, the
        // others are passed on.
        case WM_COMMAND:
            SendMessageA(GetParent(window), WM_EDITORCOMMAND, LOWORD(wParam), 0);
            if (findEditingCommand(LOWORD(wParam)))
                return 0;
            break;
        case WM_SETTEXT: return takeSetText(window, wParam, lParam);
        case WM_INITMENUPOPUP: updateMenuItems(reinterpret_cast<HMENU>(wParam)); return 0;
        // Ctrl+V and the menu's Paste come here; Shift+Insert pastes inside the control.
        case WM_PASTE: pasteAsThePageKeepsIt(window); return 0;
        case WM_KEYDOWN:
            if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
                pasteAsThePageKeepsIt(window);
                return 0;
            }
            break;
        case WM_RBUTTONDOWN: showPopupMenu(MENU_EDITOR); break;
        case WM_MOUSEWHEEL:
            if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
                takeWheel(window, wParam);
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            // A right click has shown the program's menu already; only the keyboard's
            // context menu (no mouse position) is left to the control.
            if (lParam != -1)
                return 0;
            break;
    }
    return passOn(window, message, wParam, lParam);
}

// What passes from an editor to the one that replaces it.
struct ReplacedEditor {
    HFONT font;
    std::unique_ptr<char[]> text;
    DWORD style;
    WNDPROC procedure;
    HWND parent;
    RECT rect;
    int id;
};

static bool readReplacedEditor(ReplacedEditor& old) {
    old.font = reinterpret_cast<HFONT>(SendMessageA(noteEditor, WM_GETFONT, 0, 0));
    int length = GetWindowTextLengthA(noteEditor);
    old.text.reset(new (std::nothrow) char[length + 1]);
    if (!old.text)
        return false;
    GetWindowTextA(noteEditor, old.text.get(), length + 1);
    old.style = GetWindowLongA(noteEditor, GWL_STYLE);
    old.procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(noteEditor, GWLP_WNDPROC));
    old.parent = GetParent(noteEditor);
    GetWindowRect(noteEditor, &old.rect);
    POINT topLeft = {old.rect.left, old.rect.top};
    ScreenToClient(old.parent, &topLeft);
    OffsetRect(&old.rect, topLeft.x - old.rect.left, topLeft.y - old.rect.top);
    old.id = GetDlgCtrlID(noteEditor);
    return true;
}

static HWND createReplacement(const ReplacedEditor& old, int wrap) {
    DWORD style = old.style & ~(WS_VISIBLE | WS_HSCROLL | ES_AUTOHSCROLL);
    if (wrap == 0)
        style |= WS_HSCROLL | ES_AUTOHSCROLL;
    return CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", style, old.rect.left, old.rect.top,
                           old.rect.right - old.rect.left, old.rect.bottom - old.rect.top,
                           old.parent, reinterpret_cast<HMENU>(old.id), instanceHandle, nullptr);
}

static void detachAndDestroy(HWND editor) {
    SetWindowLongPtrA(editor, GWLP_WNDPROC, 0);
    SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                     SWP_HIDEWINDOW);
    DestroyWindow(editor);
}

// The whole text went in: a process short of memory may leave a new editor blank.
static bool tookText(HWND editor, const ReplacedEditor& old) {
    SendMessageA(editor, EM_SETLIMITTEXT, EDITOR_TEXT_LIMIT, 0);
    return SetWindowTextA(editor, old.text.get()) &&
           GetWindowTextLengthA(editor) == static_cast<int>(strlen(old.text.get()));
}

int recreateEditor(int wrap) {
    ReplacedEditor old;
    HWND editor = readReplacedEditor(old) ? createReplacement(old, wrap) : nullptr;
    if (editor && !tookText(editor, old)) {
        DestroyWindow(editor);
        // The editor on screen keeps the page, and the settings file says so too.
        setWordWrap(editorWraps());
        saveSettings();
        showBalloon("Word wrap not switched",
                    "The page's text could not be moved into a new editor, so word wrap stays as "
                    "it was. The page is as it was.",
                    NIIF_WARNING);
        return 0;
    }
    if (!editor) {
        setWordWrap(editorWraps());
        return 0;
    }
    old.text.reset();
    if (old.font)
        SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(old.font), FALSE);
    applyThemeToEditor(editor);
    const UINT keepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, keepPlace | SWP_NOZORDER | SWP_SHOWWINDOW);
    SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, keepPlace | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, keepPlace);
    UpdateWindow(editor);
    detachAndDestroy(noteEditor);
    editorState.classProcedure = subclass(editor, old.procedure);
    editorState.editor = editor;
    if (windowVisible)
        SetFocus(editor);
    return 1;
}
