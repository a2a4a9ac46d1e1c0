#include "ui/tab_strip.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "res/resource.h"
#include "storage/settings.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

namespace {

struct TabStripState {
    HWND strip = nullptr;
};

} // namespace

static ProgramState<TabStripState> tabStripState;
HWND const& tabStrip = tabStripState.strip;

void createTabStrip(HWND parent) {
    tabStripState.strip =
        CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED, 0, 0, 0,
                        0, parent, reinterpret_cast<HMENU>(IDC_TABSTRIP), instanceHandle, nullptr);
    for (int page = 0; page < PAGE_COUNT; ++page) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(settings.pageNames[page]);
        SendMessageA(tabStrip, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
    }
}

static bool readTabCaption(int page, char (&caption)[64]) {
    memset(caption, 0, sizeof caption);
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption;
    tab.cchTextMax = sizeof caption - 1;
    return SendMessageA(tabStrip, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&tab)) != 0;
}

// A caption that is shown already is not set again: setting one redraws the strip, which an
// autosave with nothing to save should not cost.
void setTabCaption(int page, const char* caption) {
    char shown[64];
    if (readTabCaption(page, shown) && strcmp(shown, caption) == 0)
        return;
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    SendMessageA(tabStrip, TCM_SETITEMA, page, reinterpret_cast<LPARAM>(&item));
}

void selectTab(int page) {
    SendMessageA(tabStrip, TCM_SETCURSEL, page, 0);
}

void markTabUnsaved(int page) {
    char caption[32];
    snprintf(caption, sizeof caption, "%s*", settings.pageNames[page]);
    setTabCaption(page, caption);
}

void drawTabItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlType != ODT_TAB)
        return;
    RECT rect = item->rcItem;
    int index = static_cast<int>(item->itemID);
    if (index < 0)
        return;
    char caption[64];
    if (!readTabCaption(index, caption) || !item->hDC)
        return;
    int saved = SaveDC(item->hDC);
    rect.top += GetSystemMetrics(SM_CYEDGE);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(item->hDC, caption, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    // The tabs have the keyboard (after a click on one): the user sees which tab is current.
    if ((item->itemState & ODS_FOCUS) && GetFocus() == tabStrip) {
        RECT focus = item->rcItem;
        InflateRect(&focus, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        DrawFocusRect(item->hDC, &focus);
    }
    RestoreDC(item->hDC, saved);
}
