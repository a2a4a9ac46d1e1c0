// The icon in the notification area and the record handed to the shell for it.
#pragma once
#include <windows.h>

#include <shellapi.h>

// The first version of the shell's icon data (88 bytes in 32-bit programs), which every
// Windows accepts.
struct NotifyIconDataV1 {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};
static_assert(sizeof(NotifyIconDataV1) == NOTIFYICONDATAA_V1_SIZE, "first-version icon data");

struct TrayIcon {
    NotifyIconDataV1 data;
    bool added;

    void prepare(HINSTANCE instance, HWND window, UINT iconId, const char* tip);
    bool add();
    bool remove();
};

extern TrayIcon& trayIcon;

// The program's icon for the main window: taken from the shell and handed to it afresh.
void showTrayIcon(HINSTANCE instance, HWND window);
// The icon shown is handed to the shell once more, which takes it back where it has lost it and
// refuses it where it shows it already.
void showTrayIconAgain();

// A balloon beside the icon tells the user something without taking the keyboard from anyone
// who is typing. The record last handed to the shell for one:
extern const NOTIFYICONDATAA& trayBalloon;
// The icon is NIIF_INFO or NIIF_WARNING.
void showBalloon(const char* title, const char* text, DWORD icon);
