#include "dialogs/versions_dialog.h"

#include "app/app_state.h"
#include "dialogs/dialog_icons.h"
#include "platform/system_message.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/modal.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

// The view shows the start of a large version: the edit control takes about a second a
// megabyte to take in a text.
static const DWORD PREVIEW_LIMIT = 256u << 10;
// A first line longer than this is shown cut.
static const DWORD FIRST_LINE_LIMIT = 200;

namespace {

struct ListedVersion {
    PageVersion version;
    // The start of the file is read when its row is first shown: a page may have a thousand.
    bool looked = false;
    bool readable = true;
    std::string firstLine;
};

struct VersionsDialog {
    int page;
    std::vector<ListedVersion> versions;
};

enum Column { WHEN_COLUMN, SIZE_COLUMN, FIRST_LINE_COLUMN, NOTE_COLUMN };

} // namespace

static VersionsDialog& dialogData(HWND dialog) {
    return *reinterpret_cast<VersionsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

static std::string localTime(ULONGLONG fileTime) {
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time))
        return std::string();
    char date[64] = {};
    char clock[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

static std::string sizeText(ULONGLONG bytes) {
    char text[32];
    if (bytes < 1024)
        snprintf(text, sizeof text, "%u bytes", static_cast<unsigned>(bytes));
    else if (bytes < (1024u << 10))
        snprintf(text, sizeof text, "%.1f KB", bytes / 1024.0);
    else
        snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
    return text;
}

static std::string unreadable(DWORD error) {
    return "(cannot be read: " + systemMessage(error) + ")";
}

static void lookAt(ListedVersion& listed) {
    if (listed.looked)
        return;
    listed.looked = true;
    std::string start;
    FileStamp stamp;
    if (readFileStart(listed.version.path.c_str(), start, FIRST_LINE_LIMIT, stamp) !=
        FileRead::Loaded) {
        listed.readable = false;
        listed.firstLine = unreadable(GetLastError());
        return;
    }
    listed.firstLine = start.substr(0, start.find_first_of(std::string("\r\n\0", 3)));
}

static std::string cellText(ListedVersion& listed, int column) {
    switch (column) {
        case WHEN_COLUMN: return localTime(listed.version.keptAt);
        case SIZE_COLUMN: return sizeText(listed.version.size);
        case FIRST_LINE_COLUMN: lookAt(listed); return listed.firstLine;
        case NOTE_COLUMN: return occasionNote(listed.version.occasion);
    }
    return std::string();
}

static void fillCell(HWND dialog, LVITEMA& item) {
    VersionsDialog& data = dialogData(dialog);
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 ||
        static_cast<size_t>(item.iItem) >= data.versions.size())
        return;
    lstrcpynA(item.pszText, cellText(data.versions[item.iItem], item.iSubItem).c_str(),
              item.cchTextMax);
}

static int selectedVersion(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_VERSIONS_LIST, LVM_GETNEXTITEM,
                                                static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Reads a version, or its start, as the page would hold it, converted as a restore converts it;
// false, with the reason shown, when it cannot be.
static bool readVersion(ListedVersion& listed, std::string& text, DWORD limit) {
    FileStamp stamp;
    FileRead read = limit ? readFileStart(listed.version.path.c_str(), text, limit, stamp)
                          : readPageFile(listed.version.path.c_str(), text, stamp);
    if (read == FileRead::Loaded) {
        if (limit)
            readBytesAsPage(text);
        return true;
    }
    listed.looked = true;
    listed.readable = false;
    listed.firstLine = unreadable(GetLastError());
    return false;
}

static void showSelectedVersion(HWND dialog) {
    VersionsDialog& data = dialogData(dialog);
    int index = selectedVersion(dialog);
    std::string text;
    bool shown = index >= 0 && readVersion(data.versions[index], text, PREVIEW_LIMIT);
    SetDlgItemTextA(dialog, IDC_VERSIONS_VIEW, shown ? text.c_str() : "");
    EnableWindow(GetDlgItem(dialog, IDC_VERSIONS_RESTORE), shown);
    if (index >= 0)
        SendDlgItemMessageA(dialog, IDC_VERSIONS_LIST, LVM_REDRAWITEMS, index, index);
}

static void addColumns(HWND dialog) {
    static const struct {
        const char* title;
        int width; // dialog units
    } columns[] = {{"Date and time", 88}, {"Size", 40}, {"First line", 70}, {"Note", 70}};
    HWND list = GetDlgItem(dialog, IDC_VERSIONS_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
        RECT units = {0, 0, columns[i].width, 0};
        MapDialogRect(dialog, &units);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(columns[i].title);
        column.cx = units.right;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

static void showTrouble(HWND dialog, int page) {
    HistoryTrouble trouble = historyTrouble(page);
    std::string text;
    if (trouble.since)
        text = "Versions of this page could not be kept since " + localTime(trouble.since) + ": " +
               trouble.reason;
    SetDlgItemTextA(dialog, IDC_VERSIONS_TROUBLE, text.c_str());
}

static void initVersionsDialog(HWND dialog, VersionsDialog& data) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&data));
    showDialogIcons(dialog);
    std::string caption = std::string("Previous Versions - ") + settings.pageNames[data.page];
    SetWindowTextA(dialog, caption.c_str());
    addColumns(dialog);
    showTrouble(dialog, data.page);
    HWND list = GetDlgItem(dialog, IDC_VERSIONS_LIST);
    SendMessageA(list, LVM_SETITEMCOUNT, data.versions.size(), 0);
    EnableWindow(GetDlgItem(dialog, IDC_VERSIONS_RESTORE), FALSE);
    if (data.versions.empty())
        return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
}

static void restoreSelectedVersion(HWND dialog) {
    VersionsDialog& data = dialogData(dialog);
    int index = selectedVersion(dialog);
    std::string text;
    if (index < 0 || !readVersion(data.versions[index], text, 0)) {
        showSelectedVersion(dialog);
        return;
    }
    // The dialog's loop lets everything in: the page shown may be another one by now.
    if (!programEnding && currentPage == data.page && restoreVersion(text)) {
        EndDialog(dialog, IDC_VERSIONS_RESTORE);
        return;
    }
    if (!programEnding)
        messageBox(dialog,
                   "The version could not be restored, because the page could not be saved.\n"
                   "The page is as it was.",
                   appCaption, MB_OK | MB_ICONWARNING);
}

static INT_PTR onNotify(HWND dialog, NMHDR* header) {
    if (header->idFrom != IDC_VERSIONS_LIST)
        return FALSE;
    if (header->code == LVN_GETDISPINFOA)
        fillCell(dialog, reinterpret_cast<NMLVDISPINFOA*>(header)->item);
    const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(header);
    if (header->code == LVN_ITEMCHANGED && (change->uChanged & LVIF_STATE) &&
        (change->uNewState & LVIS_SELECTED))
        showSelectedVersion(dialog);
    return FALSE;
}

static INT_PTR CALLBACK versionsDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initVersionsDialog(dialog, *reinterpret_cast<VersionsDialog*>(lParam));
            return TRUE;
        case WM_NOTIFY: return onNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_VERSIONS_RESTORE)
                restoreSelectedVersion(dialog);
            else if (LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        case WM_DESTROY: releaseDialogIcons(dialog); return FALSE;
    }
    return FALSE;
}

void openPreviousVersions(HWND owner) {
    // The list holds the version that a save under way keeps.
    finishPageWrite();
    VersionsDialog data = {currentPage, {}};
    for (const PageVersion& version : listPageVersions(data.page)) {
        data.versions.emplace_back();
        data.versions.back().version = version;
    }
    dialogBox(IDD_VERSIONS, owner, versionsDialogProc, reinterpret_cast<LPARAM>(&data));
}
