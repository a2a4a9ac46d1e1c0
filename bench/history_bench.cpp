// Previous versions against their floors:
//   save_<size>_keeping_a_version: Ctrl+S of a changed page whose save keeps the text it
//         replaces as a version, against the same save when the version of a moment ago makes
//         another one needless (target: at most 1.05 times);
//   versions_open_1000: Previous Versions opened on a page with 1,000 versions, until the
//         dialog is shown and painted, against a bare dialog of the same size that lists that
//         folder and shows the same number of rows and the newest version's text (target: at
//         most 1.5 times).
//   versions_open_1: the same on a page with one version.
// Start-up with 1,000 versions on disk is measured by bench_startup.
#include "bench_support.h"
#include "history_floor.h"

#include "app/app_state.h"
#include "dialogs/versions_dialog.h"
#include "storage/page_history.h"
#include "support/files.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"

#include <commctrl.h>
#include <cstdio>

namespace {

std::string historyFolder() {
    return std::string(installFolder) + "\\Data\\History\\Page0";
}

// The program lists the folder anew afterwards, so that it knows the page has no version.
void removeVersions() {
    for (const PageVersion& version : listPageVersions(0))
        DeleteFileA(version.path.c_str());
    listPageVersions(0);
}

// A change at the end of the page, made outside the timing, as the user's typing makes one.
double changedPageSave() {
    int end = GetWindowTextLengthA(noteEditor);
    SendMessageA(noteEditor, EM_SETSEL, end, end);
    SendMessageA(noteEditor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
    double start = nowMs();
    require(savePage(0), "savePage");
    return nowMs() - start;
}

// The page has no version before one save, and one from a moment ago before the other.
void measureSaves(size_t bytes, int runs) {
    SetWindowTextA(noteEditor, noteText(bytes, 3).c_str());
    require(savePage(0), "the first save of the page");
    std::vector<double> keeping, none;
    for (int run = 0; run < runs; ++run) {
        removeVersions();
        keeping.push_back(changedPageSave());
        require(listPageVersions(0).size() == 1, "a version is kept");
        none.push_back(changedPageSave());
        require(listPageVersions(0).size() == 1, "no other version is kept");
    }
    removeVersions();
    reportRatio("save_" + sizeName(bytes) + "_keeping_a_version", keeping, none, 1.05);
}

// A thousand versions of a few kilobytes, one every five minutes back from now.
void plantVersions(int count) {
    CreateDirectoryA((std::string(installFolder) + "\\Data\\History").c_str(), nullptr);
    CreateDirectoryA(historyFolder().c_str(), nullptr);
    ULONGLONG now = currentFileTime();
    for (int i = 0; i < count; ++i) {
        ULONGLONG kept = now - i * 5 * MINUTE_IN_FILETIME;
        FILETIME time = {static_cast<DWORD>(kept), static_cast<DWORD>(kept >> 32)};
        SYSTEMTIME utc;
        FileTimeToSystemTime(&time, &utc);
        char name[64];
        snprintf(name, sizeof name, "\\%04u%02u%02u-%02u%02u%02u-%03u-%08x.txt", utc.wYear,
                 utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds, i);
        writeFileBytes(historyFolder() + name, noteText(4000, i));
    }
}

struct FloorListing {
    size_t rows = 0;
    std::string newestText;
};

FloorListing listVersionsFolder() {
    FloorListing listing;
    WIN32_FIND_DATAA found;
    std::string newest;
    HANDLE search = FindFirstFileA((historyFolder() + "\\*.txt").c_str(), &found);
    require(search != INVALID_HANDLE_VALUE, "listing the versions");
    do {
        ++listing.rows;
        if (newest < found.cFileName)
            newest = found.cFileName;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    listing.newestText = readFileBytes(historyFolder() + "\\" + newest);
    require(!listing.newestText.empty(), "reading the newest version");
    return listing;
}

INT_PTR CALLBACK floorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const FloorListing& listing = *reinterpret_cast<const FloorListing*>(lParam);
        HWND list = GetDlgItem(dialog, IDC_FLOOR_LIST);
        for (int column = 0; column < 4; ++column) {
            LVCOLUMNA header = {};
            header.mask = LVCF_TEXT | LVCF_WIDTH;
            header.pszText = const_cast<char*>("Column");
            header.cx = 100;
            SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
        }
        SendMessageA(list, LVM_SETITEMCOUNT, listing.rows, 0);
        SetDlgItemTextA(dialog, IDC_FLOOR_VIEW, listing.newestText.c_str());
        return TRUE;
    }
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(lParam)->item;
        if (item.mask & LVIF_TEXT)
            lstrcpynA(item.pszText, "12/9/2026 3:14:15 AM", item.cchTextMax);
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
    return FALSE;
}

double openedAt;
HHOOK idleHook;

// The dialog manager shows the dialog when its queue first runs empty and then tells the owner
// that it is idle: the dialog is painted at once and closed.
LRESULT CALLBACK closeShownDialog(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_ENTERIDLE && call->wParam == MSGF_DIALOGBOX &&
        !openedAt) {
        HWND dialog = reinterpret_cast<HWND>(call->lParam);
        require(IsWindowVisible(dialog), "the dialog is shown");
        UpdateWindow(dialog);
        openedAt = nowMs();
        EndDialog(dialog, IDCANCEL);
    }
    return CallNextHookEx(idleHook, code, wParam, lParam);
}

double openVersions() {
    openedAt = 0;
    double start = nowMs();
    openPreviousVersions(mainWindow);
    require(openedAt > start, "the dialog opened");
    return openedAt - start;
}

double openFloorDialog() {
    openedAt = 0;
    double start = nowMs();
    FloorListing listing = listVersionsFolder();
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FLOOR_VERSIONS), mainWindow,
                    floorDialogProc, reinterpret_cast<LPARAM>(&listing));
    require(openedAt > start, "the floor dialog opened");
    return openedAt - start;
}

// With one version the figure is what the dialog itself costs, whatever the page keeps.
void measureOpening(int count, int runs) {
    // A page as large as its versions: Wine's edit control repaints a page of many megabytes,
    // slowly, whenever it loses the focus to a dialog, whatever the dialog.
    SetWindowTextA(noteEditor, noteText(4000, 1).c_str());
    require(savePage(0), "saving the page");
    removeVersions();
    plantVersions(count);
    std::vector<double> program, floor;
    // The dialogs' resources and the folder come from disk the first time.
    openVersions();
    openFloorDialog();
    for (int run = 0; run < runs; ++run) {
        pumpMessages(); // the main window repaints where the last dialog was, outside the timing
        floor.push_back(openFloorDialog());
        pumpMessages();
        program.push_back(openVersions());
    }
    reportRatio("versions_open_" + std::to_string(count), program, floor, count > 1 ? 1.5 : 0);
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    std::string folder = startProgramInNewFolder();
    if (smoke) {
        measureSaves(1000, 1);
    } else {
        measureSaves(10000000, 7);
        measureSaves(50000000, 3);
    }
    idleHook = SetWindowsHookExA(WH_CALLWNDPROC, closeShownDialog, nullptr, GetCurrentThreadId());
    measureOpening(1, smoke ? 1 : 15);
    measureOpening(smoke ? 10 : 1000, smoke ? 1 : 15);
    UnhookWindowsHookEx(idleHook);
    quitAndRemoveFolder(folder);
    return 0;
}
