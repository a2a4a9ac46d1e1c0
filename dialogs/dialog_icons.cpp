#include "dialogs/dialog_icons.h"

#include "app/app_state.h"
#include "res/resource.h"
#include "ui/dpi.h"

#include <vector>

// A static control that shows an icon; a button's styles share the same low bits.
static BOOL CALLBACK collectIconControl(HWND child, LPARAM controls) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        reinterpret_cast<std::vector<HWND>*>(controls)->push_back(child);
    return TRUE;
}

static std::vector<HWND> iconControls(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog, collectIconControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

void showDialogIcons(HWND dialog, std::initializer_list<DialogPicture> pictures) {
    UINT dpi = windowDpi(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(loadIcon(IDI_INFO, true, dpi)));
    // At 96 DPI the pictures stay the ones the dialog manager takes, the icons' first images.
    if (dpi == BASE_DPI)
        return;
    std::vector<HWND> controls = iconControls(dialog);
    size_t index = 0;
    for (const DialogPicture& picture : pictures) {
        if (index == controls.size())
            break;
        int size = scaled(picture.size, dpi);
        HANDLE icon = LoadImageA(instanceHandle, MAKEINTRESOURCEA(picture.icon), IMAGE_ICON, size,
                                 size, LR_DEFAULTCOLOR);
        SendMessageA(controls[index++], STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
}

void releaseDialogIcons(HWND dialog) {
    DestroyIcon(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)));
    if (windowDpi(dialog) == BASE_DPI)
        return;
    for (HWND control : iconControls(dialog))
        DestroyIcon(reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0)));
}
