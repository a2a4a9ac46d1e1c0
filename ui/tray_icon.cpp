#include "ui/tray_icon.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/window_messages.h"

#include <shellapi.h>

static ProgramState<TrayIcon> trayIconRecord;
TrayIcon& trayIcon = trayIconRecord;

namespace {

struct BalloonRecord {
    NOTIFYICONDATAA data = {};
};

} // namespace

static ProgramState<BalloonRecord> balloon;
const NOTIFYICONDATAA& trayBalloon = balloon.data;

static BOOL notifyShell(DWORD action, NotifyIconDataV1& data) {
    return Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&data));
}

void TrayIcon::prepare(HINSTANCE instance, HWND window, UINT iconId, const char* tip) {
    added = false;
    data.cbSize = sizeof data;
    // The shell shows the icon at the small size of the screen's scale.
    int size = systemMetric(SM_CXSMICON, systemDpi());
    data.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    data.hWnd = window;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uID = iconId;
    data.uCallbackMessage = WM_TRAYICON;
    if (tip)
        lstrcpynA(data.szTip, tip, sizeof data.szTip);
    else
        data.szTip[0] = '\0';
}

bool TrayIcon::add() {
    if (added)
        return false;
    added = true;
    return notifyShell(NIM_ADD, data) != FALSE;
}

bool TrayIcon::remove() {
    if (!added)
        return false;
    added = false;
    BOOL removed = notifyShell(NIM_DELETE, data);
    DestroyIcon(data.hIcon);
    ZeroMemory(&data, sizeof data);
    return removed != FALSE;
}

void showTrayIcon(HINSTANCE instance, HWND window) {
    trayIcon.remove();
    trayIcon.prepare(instance, window, IDI_NOTES, appCaption);
    trayIcon.add();
}

void showTrayIconAgain() {
    if (trayIcon.added)
        notifyShell(NIM_ADD, trayIcon.data);
}

void showBalloon(const char* title, const char* text, DWORD icon) {
    NOTIFYICONDATAA& data = balloon.data;
    data = NOTIFYICONDATAA();
    // The version that knows balloons, which every Windows since 2000 accepts.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = trayIcon.data.hWnd;
    data.uID = trayIcon.data.uID;
    data.uFlags = NIF_INFO;
    lstrcpynA(data.szInfoTitle, title, sizeof data.szInfoTitle);
    lstrcpynA(data.szInfo, text, sizeof data.szInfo);
    data.uTimeout = 15000;
    data.dwInfoFlags = icon;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}
