// The window's colours: light, or dark when the user or Windows' app mode asks for it. A
// high-contrast scheme always has the system's colours. Dialogs and message boxes keep the
// system's look; the window follows a change at once.
#pragma once
#include <windows.h>

// The user's choice in the window menu, kept per user as 0, 1 or 2.
enum class ThemeChoice : DWORD { FollowWindows = 0, Light = 1, Dark = 2 };

ThemeChoice themeChoice();
// The window is drawn dark.
bool darkTheme();
// At the window's first showing and after every change: the choice, Windows' app mode and high
// contrast are looked at, and the window follows them. Nothing is done while the window has
// never been shown, so that a start in the tray costs nothing.
void applyTheme(HWND window);
// The first showing applies the theme; later ones find it applied, as every change of Windows'
// setting comes as a message.
void applyThemeOnce(HWND window);
// The user's choice applies at once and is kept for the next start; one that cannot be kept
// still applies now, and the user is told once.
void chooseTheme(HWND window, ThemeChoice choice);
// A new note editor (word wrap switched) takes the theme of the one it replaces.
void applyThemeToEditor(HWND editor);
// Windows says that a setting changed: its app mode ("ImmersiveColorSet") or high contrast.
void takeSettingChange(HWND window, WPARAM setting, LPARAM area);
// WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC of the note editor: the brush of its background, with
// the text's colours set in the device context; null where the system's colours serve.
HBRUSH editorColors(HDC dc);
// The dark tab strip's colours, each at least 4.5 : 1 between text and background.
struct TabColors {
    COLORREF strip;
    COLORREF tab;
    COLORREF selected;
    COLORREF text;
    COLORREF border;
};
extern const TabColors DARK_TAB_COLORS;
// At the end: the brush goes.
void releaseTheme();
// Asks Windows whether a high-contrast scheme is on; a test may stand in for it, as Wine has no
// such scheme. The fixture's reset brings back the system's.
extern bool (*&highContrastQuery)();
