#include "platform/system_theme.h"

#include "platform/on_demand_dll.h"

#include <dwmapi.h>
#include <uxtheme.h>

static const char* const PERSONALIZE_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
// The window manager's attribute for a dark title bar, and its number before Windows 10 2004.
static const DWORD DARK_TITLE_BAR = 20;
static const DWORD DARK_TITLE_BAR_BEFORE_19041 = 19;
// uxtheme's entry points for dark menus have no names, only numbers, from build 18362 on.
static const WORD SET_PREFERRED_APP_MODE = 135;
static const WORD FLUSH_MENU_THEMES = 136;
enum PreferredAppMode { APP_MODE_DEFAULT = 0, APP_MODE_ALLOW_DARK = 1 };

typedef LONG WINAPI RtlGetVersionCall(OSVERSIONINFOW*);
typedef int WINAPI SetPreferredAppModeCall(int);
typedef void WINAPI FlushMenuThemesCall();

// The build of Windows as it is, whatever the program's manifest says; 0 when unknown.
static DWORD windowsBuild() {
    auto getVersion = systemDllFunction<RtlGetVersionCall>("ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return getVersion && getVersion(&version) == 0 && version.dwMajorVersion >= 10
               ? version.dwBuildNumber
               : 0;
}

bool windowsAppsUseDarkMode() {
    DWORD light = 1;
    DWORD size = sizeof light;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PERSONALIZE_KEY, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    bool read = RegQueryValueExA(key, "AppsUseLightTheme", nullptr, &type,
                                 reinterpret_cast<BYTE*>(&light), &size) == ERROR_SUCCESS &&
                type == REG_DWORD && size == sizeof light;
    RegCloseKey(key);
    return read && light == 0;
}

bool systemHighContrast() {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void setDarkTitleBar(HWND window, bool dark) {
    auto setAttribute =
        systemDllFunction<decltype(DwmSetWindowAttribute)>("dwmapi.dll", "DwmSetWindowAttribute");
    if (!setAttribute)
        return;
    BOOL value = dark;
    DWORD attribute = windowsBuild() >= 19041 ? DARK_TITLE_BAR : DARK_TITLE_BAR_BEFORE_19041;
    if (SUCCEEDED(setAttribute(window, attribute, &value, sizeof value)))
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setDarkControl(HWND control, bool dark) {
    if (auto setTheme =
            systemDllFunction<decltype(SetWindowTheme)>("uxtheme.dll", "SetWindowTheme"))
        setTheme(control, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
}

void setDarkMenus(bool dark) {
    if (windowsBuild() < 18362)
        return;
    auto setMode = systemDllFunction<SetPreferredAppModeCall>(
        "uxtheme.dll", MAKEINTRESOURCEA(SET_PREFERRED_APP_MODE));
    auto flush =
        systemDllFunction<FlushMenuThemesCall>("uxtheme.dll", MAKEINTRESOURCEA(FLUSH_MENU_THEMES));
    if (!setMode || !flush)
        return;
    setMode(dark ? APP_MODE_ALLOW_DARK : APP_MODE_DEFAULT);
    flush();
}
