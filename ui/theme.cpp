#include "ui/theme.h"

#include "app/program_state.h"
#include "platform/system_theme.h"
#include "platform/view_settings.h"
#include "ui/note_editor.h"
#include "ui/page_notices.h"
#include "ui/tab_strip.h"

#include <cstring>

// Light grey on near black: 13 : 1.
static const COLORREF EDITOR_BACKGROUND = RGB(30, 30, 30);
static const COLORREF EDITOR_TEXT = RGB(228, 228, 228);
const TabColors DARK_TAB_COLORS = {RGB(45, 45, 45), RGB(58, 58, 58), EDITOR_BACKGROUND, EDITOR_TEXT,
                                   RGB(90, 90, 90)};

namespace {

struct ThemeState {
    bool choiceRead = false;
    ThemeChoice choice = ThemeChoice::FollowWindows;
    // The window has been shown and follows the theme.
    bool applied = false;
    bool dark = false;
    HBRUSH editorBrush = nullptr;
    bool (*highContrastQuery)() = systemHighContrast;
};

} // namespace

static ProgramState<ThemeState> theme;
bool (*&highContrastQuery)() = theme.highContrastQuery;

ThemeChoice themeChoice() {
    if (!theme.choiceRead) {
        DWORD stored = readUserChoice(THEME_VALUE, 0);
        theme.choiceRead = true;
        theme.choice =
            stored <= DWORD(ThemeChoice::Dark) ? ThemeChoice(stored) : ThemeChoice::FollowWindows;
    }
    return theme.choice;
}

bool darkTheme() {
    return theme.dark;
}

static bool wantsDark() {
    if (highContrastQuery())
        return false;
    ThemeChoice choice = themeChoice();
    return choice == ThemeChoice::Dark ||
           (choice == ThemeChoice::FollowWindows && windowsAppsUseDarkMode());
}

// In dark the editor's sunken edge, drawn in the system's light colours, gives way to the
// strip's own line around it.
void applyThemeToEditor(HWND editor) {
    LONG_PTR style = GetWindowLongPtrA(editor, GWL_EXSTYLE);
    LONG_PTR themed = theme.dark ? style & ~WS_EX_CLIENTEDGE : style | WS_EX_CLIENTEDGE;
    setDarkControl(editor, theme.dark);
    if (themed == style)
        return;
    SetWindowLongPtrA(editor, GWL_EXSTYLE, themed);
    SetWindowPos(editor, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void applyTheme(HWND window) {
    bool dark = wantsDark();
    if (theme.applied && dark == theme.dark)
        return;
    theme.applied = true;
    theme.dark = dark;
    // One brush for each change of theme, and none left behind.
    DeleteObject(theme.editorBrush);
    theme.editorBrush = dark ? CreateSolidBrush(EDITOR_BACKGROUND) : nullptr;
    setDarkTitleBar(window, dark);
    applyThemeToEditor(noteEditor);
    setDarkMenus(dark);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void applyThemeOnce(HWND window) {
    if (!theme.applied)
        applyTheme(window);
}

void chooseTheme(HWND window, ThemeChoice choice) {
    themeChoice();
    theme.choice = choice;
    if (!writeUserChoice(THEME_VALUE, DWORD(choice)))
        tellChoiceNotKept(GetLastError());
    applyTheme(window);
}

void takeSettingChange(HWND window, WPARAM setting, LPARAM area) {
    const char* name = reinterpret_cast<const char*>(area);
    bool appMode = name && strcmp(name, "ImmersiveColorSet") == 0;
    if (theme.applied && (appMode || setting == SPI_SETHIGHCONTRAST))
        applyTheme(window);
}

void releaseTheme() {
    DeleteObject(theme.editorBrush);
    theme.editorBrush = nullptr;
}

HBRUSH editorColors(HDC dc) {
    if (!theme.dark)
        return nullptr;
    SetTextColor(dc, EDITOR_TEXT);
    SetBkColor(dc, EDITOR_BACKGROUND);
    return theme.editorBrush;
}
