#include "dialogs/preferences_dialog.h"

#include "app/app_state.h"
#include "dialogs/dialog_icons.h"
#include "dialogs/export_dialog.h"
#include "platform/autostart.h"
#include "platform/system_message.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"

#include <cstring>
#include <string>

static const char* const CLEAR_QUESTION =
    "Jotty Notes will erase all your notes.\nDo you want to continue?";
static const char* const HELP_TEXT =
    "The Auto-Saving features saves your notes each 30 seconds or\nwhen the Jotty Notes is "
    "minimized to the System Tray. You\ncan use some keyboard shortcut:\n\n1. Ctrl-T: Insert "
    "Current Time & Date\n2. Ctrl-L: Insert a Line\n3. Ctrl-S: Manual Save of the current page";

static void enableApply(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_PREF_APPLY), TRUE);
}

static void disableApply(HWND dialog) {
    HWND apply = GetDlgItem(dialog, IDC_PREF_APPLY);
    // A disabled control with the focus would leave the keyboard with nowhere to go.
    if (GetFocus() == apply)
        SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(apply, FALSE);
}

static void onInitDialog(HWND dialog) {
    showDialogIcons(dialog, {{IDI_ERASE, 32}, {IDI_HELP, 32}, {IDI_OPTIONS, 48}});
    for (int page = 0; page < PAGE_COUNT; ++page)
        SetDlgItemTextA(dialog, IDC_PREF_NAME0 + page, settings.pageNames[page]);
    CheckDlgButton(dialog, IDC_PREF_WORDWRAP, settings.wordWrap == 1 ? BST_CHECKED : BST_UNCHECKED);
    if (settings.autoStart == 1)
        CheckDlgButton(dialog, IDC_PREF_AUTOSTART, BST_CHECKED);
    // Filling the edits has enabled Apply.
    disableApply(dialog);
    SendMessageA(dialog, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PREF_NAME0)), TRUE);
}

// Erases all five pages once the user agrees; pages that could not be written are named.
static void clearAllPages(HWND dialog) {
    if (messageBox(dialog, CLEAR_QUESTION, appCaption, MB_YESNO | MB_ICONWARNING) != IDYES ||
        programEnding)
        return;
    std::string kept;
    for (int page = 0; page < PAGE_COUNT; ++page) {
        if (!erasePage(page))
            kept += (kept.empty() ? "" : ", ") + std::string(settings.pageNames[page]);
    }
    if (kept.empty()) {
        messageBox(dialog, "All your notes have been erased!", appCaption,
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string text = "These pages could not be erased: " + kept + ".";
    messageBox(dialog, text.c_str(), appCaption, MB_OK | MB_ICONWARNING);
}

// Stores the name typed for one page; an emptied name is put back. True when a tab changed.
static bool applyPageName(HWND dialog, int page) {
    char name[sizeof settings.pageNames[0]] = {};
    GetDlgItemTextA(dialog, IDC_PREF_NAME0 + page, name, sizeof name);
    const char* stored = settings.pageNames[page];
    if (strcmp(name, stored) == 0)
        return false;
    if (name[0] == '\0') {
        SetDlgItemTextA(dialog, IDC_PREF_NAME0 + page, stored);
        return false;
    }
    setPageName(page, name);
    setTabCaption(page, stored);
    return true;
}

// OK and Apply: names, start with Windows and word wrap; the settings file is written twice.
// False, once the user has been told why, when a choice could not be stored.
static bool applyPreferences(HWND dialog) {
    // The user's choice is written, even over a settings file that could not be read.
    chooseSettings();
    bool renamed = false;
    for (int page = 0; page < PAGE_COUNT; ++page)
        renamed |= applyPageName(dialog, page);
    if (renamed)
        RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    disableApply(dialog);
    bool startWithWindows = IsDlgButtonChecked(dialog, IDC_PREF_AUTOSTART) == BST_CHECKED;
    bool stored = applyAutoStart(startWithWindows);
    DWORD error = GetLastError();
    auto failed = [&] {
        stored = false;
        error = GetLastError();
    };
    // Start with Windows is written whatever became of its Run value; word wrap follows.
    setAutoStart(startWithWindows);
    if (!saveSettings() && stored)
        failed();
    setWordWrap(IsDlgButtonChecked(dialog, IDC_PREF_WORDWRAP) == BST_CHECKED);
    if (stored && !saveSettings())
        failed();
    if (stored)
        return true;
    enableApply(dialog);
    std::string text = "The settings could not be saved: " + systemMessage(error) +
                       "\n\nThey stay in this dialog: try again, or close it with Cancel.";
    messageBox(dialog, text.c_str(), appCaption, MB_OK | MB_ICONWARNING);
    return false;
}

static INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) == EN_CHANGE)
        enableApply(dialog);
    // Esc (IDCANCEL) and Enter on an edit (IDOK) fall outside these ids and do nothing.
    switch (LOWORD(wParam)) {
        case IDC_PREF_WORDWRAP:
        case IDC_PREF_AUTOSTART: enableApply(dialog); break;
        case IDC_PREF_CLEAR: clearAllPages(dialog); break;
        case IDC_PREF_HELP:
            messageBox(dialog, HELP_TEXT, appCaption, MB_OK | MB_ICONINFORMATION);
            break;
        case IDC_PREF_EXPORT: openExportDialog(dialog); break;
        case IDC_PREF_APPLY: applyPreferences(dialog); return TRUE;
        case IDC_PREF_OK:
            // The message's loop lets everything in: the dialog may be gone by now.
            if (applyPreferences(dialog) && IsWindow(dialog))
                EndDialog(dialog, wParam);
            return TRUE;
        case IDC_PREF_CANCEL: EndDialog(dialog, wParam); return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK preferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: onInitDialog(dialog); return FALSE;
        case WM_COMMAND: return onCommand(dialog, wParam);
        // The close box ends the dialog without applying anything.
        case WM_CLOSE: EndDialog(dialog, 0); return FALSE;
        case WM_DESTROY: releaseDialogIcons(dialog); return FALSE;
    }
    return FALSE;
}

void openPreferences(HWND owner) {
    // The dialog shows the settings file as it stands, once it can be read.
    catchUpOnSettings();
    dialogBox(IDD_PREFERENCES, owner, preferencesDialogProc);
    // Word wrap is a creation style of the editor, so a change re-creates it; not once the
    // program has begun to end.
    if (!programEnding && editorWraps() != (settings.wordWrap == 1))
        recreateEditor(settings.wordWrap);
}
