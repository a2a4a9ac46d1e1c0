#include "dialogs/export_dialog.h"

#include "app/app_state.h"
#include "dialogs/dialog_icons.h"
#include "platform/on_demand_dll.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/modal.h"

#include <commdlg.h>
#include <cstddef>
#include <cstdio>

// The structure as it was before Windows 2000 added its last fields (76 bytes in 32-bit
// programs).
constexpr DWORD OPENFILENAME_SIZE_400 = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(offsetof(OPENFILENAMEA, pvReserved) == OPENFILENAME_SIZE_400,
              "OPENFILENAMEA ends at its Windows 2000 fields");

static void reportExportFailure() {
    messageBox(nullptr, "Error while exporting file.\nPlease retry.", appCaption,
               MB_OK | MB_ICONERROR);
}

void copyPageFile(const char* destination, int page) {
    char source[MAX_PATH];
    if (!formatPagePath(source, page) || !CopyFileA(source, destination, FALSE))
        reportExportFailure();
}

void exportPageAs(HWND owner, int page) {
    if (programEnding || !loadDllForWindow(owner, "Export", COMMON_DIALOGS_DLL))
        return;
    char destination[MAX_PATH] = {};
    snprintf(destination, sizeof destination, "%s.txt", settings.pageNames[page]);
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_400;
    request.hwndOwner = owner;
    request.lpstrFilter = "Text Files (*.txt)\0*.txt\0";
    request.lpstrFile = destination;
    request.nMaxFile = sizeof destination;
    request.lpstrDefExt = "txt";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!askSaveFileName(request) || programEnding)
        return;
    // A stale file must never go out as if it were the text on screen.
    if (page == currentPage && !savePage(page)) {
        reportExportFailure();
        return;
    }
    copyPageFile(destination, page);
}

static bool exportTickedPages(HWND dialog) {
    bool exported = false;
    for (int page = 0; page < PAGE_COUNT && !programEnding; ++page) {
        HWND checkBox = GetDlgItem(dialog, IDC_EXPORT_PAGE0 + page);
        if (SendMessageA(checkBox, BM_GETCHECK, 0, 0) != BST_CHECKED)
            continue;
        char prompt[100] = {};
        snprintf(prompt, sizeof prompt, "Choose a path where you want to export your %s notes...",
                 settings.pageNames[page]);
        messageBox(dialog, prompt, appCaption, MB_OK | MB_ICONINFORMATION);
        exportPageAs(dialog, page);
        SendMessageA(checkBox, BM_SETCHECK, BST_UNCHECKED, 0);
        exported = true;
    }
    return exported;
}

static void onExportClicked(HWND dialog) {
    bool exported = exportTickedPages(dialog);
    if (programEnding)
        return;
    if (exported)
        EndDialog(dialog, 0);
    else
        messageBox(dialog, "Please select one page to export at least.", appCaption,
                   MB_OK | MB_ICONINFORMATION);
}

static void initExportDialog(HWND dialog) {
    showDialogIcons(dialog);
    for (int page = 0; page < PAGE_COUNT; ++page)
        SetDlgItemTextA(dialog, IDC_EXPORT_PAGE0 + page, settings.pageNames[page]);
}

static INT_PTR onExportCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDC_EXPORT_CANCEL: EndDialog(dialog, static_cast<INT_PTR>(wParam)); return TRUE;
        case IDC_EXPORT_EXPORT: onExportClicked(dialog); return FALSE;
    }
    return FALSE;
}

static INT_PTR CALLBACK exportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: initExportDialog(dialog); return TRUE;
        case WM_LBUTTONDOWN:
            // A press anywhere on the free client area drags the dialog like its title bar.
            SendMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, 0); return FALSE;
        case WM_DESTROY: releaseDialogIcons(dialog); return FALSE;
        case WM_COMMAND: return onExportCommand(dialog, wParam);
    }
    return FALSE;
}

// The dialog opens only where the Save As dialog that it leads to can.
INT_PTR openExportDialog(HWND owner) {
    if (!loadDllForWindow(owner, "Export", COMMON_DIALOGS_DLL))
        return 0;
    return dialogBox(IDD_EXPORT, owner, exportDialogProc);
}
