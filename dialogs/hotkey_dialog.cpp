#include "dialogs/hotkey_dialog.h"

#include "app/app_state.h"
#include "dialogs/dialog_icons.h"
#include "res/resource.h"
#include "ui/global_hotkey.h"
#include "ui/modal.h"

#include <commctrl.h>
#include <string>

static WORD chosenKey(HWND dialog) {
    return static_cast<WORD>(SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, HKM_GETHOTKEY, 0, 0));
}

static void showKeyState(HWND dialog) {
    WORD key = hotkeyChoice();
    std::string state = key && !hotkeyWorks()
                            ? hotkeyName(key) + " does not work now: another program uses it."
                            : std::string();
    SetDlgItemTextA(dialog, IDC_HOTKEY_STATE, state.c_str());
}

static void initHotkeyDialog(HWND dialog) {
    showDialogIcons(dialog);
    // A key without Ctrl or Alt would be taken from every program; the control adds both.
    SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, HKM_SETHOTKEY, hotkeyChoice(), 0);
    showKeyState(dialog);
}

// A key that another program holds is refused: the dialog stays, the old key stays registered.
static void applyHotkey(HWND dialog) {
    WORD key = chosenKey(dialog);
    if (changeGlobalHotkey(mainWindow, key)) {
        EndDialog(dialog, IDOK);
        return;
    }
    std::string text = hotkeyName(key) + " is in use by another program. Choose another key.";
    messageBox(dialog, text.c_str(), appCaption, MB_OK | MB_ICONWARNING);
}

static INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: initHotkeyDialog(dialog); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: applyHotkey(dialog); return TRUE;
                case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
                case IDC_HOTKEY_NONE:
                    SendDlgItemMessageA(dialog, IDC_HOTKEY_KEY, HKM_SETHOTKEY, 0, 0);
                    SendMessageA(dialog, WM_NEXTDLGCTL,
                                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_HOTKEY_KEY)),
                                 TRUE);
                    return TRUE;
            }
            return FALSE;
        case WM_DESTROY: releaseDialogIcons(dialog); return FALSE;
    }
    return FALSE;
}

void openHotkeyDialog(HWND owner) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    dialogBox(IDD_HOTKEY, owner, hotkeyDialogProc);
}
