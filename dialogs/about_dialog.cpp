#include "dialogs/about_dialog.h"

#include "app/app_state.h"
#include "dialogs/dialog_icons.h"
#include "platform/on_demand_dll.h"
#include "res/resource.h"
#include "ui/modal.h"

#include <cstdio>
#include <vector>

INT_PTR showAboutDialog(HWND owner) {
    if (!loadDllForWindow(owner, "About", VERSION_DLL))
        return 0;
    return dialogBox(IDD_ABOUT, owner, aboutDialogProc);
}

static const VS_FIXEDFILEINFO* fixedVersionInfo(const std::vector<char>& block) {
    auto query = systemDllFunction<decltype(VerQueryValueA)>(VERSION_DLL, "VerQueryValueA");
    void* info = nullptr;
    UINT size = 0;
    if (!query || !query(block.data(), "\\", &info, &size) || !info ||
        size < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(info);
}

char* getVersionText(const char* path, char (&output)[VERSION_TEXT_SIZE]) {
    output[0] = '\0';
    auto getSize = systemDllFunction<decltype(GetFileVersionInfoSizeA)>(VERSION_DLL,
                                                                        "GetFileVersionInfoSizeA");
    auto getInfo =
        systemDllFunction<decltype(GetFileVersionInfoA)>(VERSION_DLL, "GetFileVersionInfoA");
    DWORD size = getSize ? getSize(path, nullptr) : 0;
    if (size == 0)
        messageBox(nullptr, "Could not retrive version info", "", MB_OK);
    std::vector<char> block(size);
    // With no size there is no block to read into: that read counts as failed.
    if (size == 0 || !getInfo || !getInfo(path, 0, size, block.data())) {
        messageBox(nullptr, "Unknown error retriving version info", "", MB_OK);
        return output;
    }
    if (const VS_FIXEDFILEINFO* info = fixedVersionInfo(block))
        snprintf(output, sizeof output, "%i.%i.%i ", HIWORD(info->dwProductVersionMS),
                 LOWORD(info->dwProductVersionMS), HIWORD(info->dwProductVersionLS));
    return output;
}

static void initAboutDialog(HWND dialog) {
    SetWindowTextA(dialog, "About Jotty Notes");
    char aboutTemplate[200] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_TEMPLATE, aboutTemplate, sizeof aboutTemplate);
    showDialogIcons(dialog, {{IDI_NOTES, 32}});
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instanceHandle, path, sizeof path);
    char versionText[VERSION_TEXT_SIZE];
    char text[ABOUT_TEXT_SIZE];
    composeAboutText(aboutTemplate, getVersionText(path, versionText), text);
    SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, text);
}

// Only OK and the close box end the dialog; Escape (IDCANCEL) leaves it open.
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: initAboutDialog(dialog); return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDC_ABOUT_OK)
                return FALSE;
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, static_cast<INT_PTR>(wParam)); return FALSE;
        case WM_DESTROY: releaseDialogIcons(dialog); return FALSE;
    }
    return FALSE;
}
