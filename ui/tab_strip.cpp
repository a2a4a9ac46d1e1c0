#include "ui/tab_strip.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "ui/dpi.h"
#include "ui/note_editor.h"
#include "ui/theme.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

namespace {

struct TabStripState {
    HWND strip = nullptr;
    WNDPROC savedProc = nullptr;
};

} // namespace

static ProgramState<TabStripState> tabStripState;
HWND const& tabStrip = tabStripState.strip;

static void fill(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

static void frame(HDC dc, const RECT& rect, COLORREF color) {
    SetDCBrushColor(dc, color);
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The dark strip, tab by tab where the control lays them out; the editor over the page area
// paints itself.
static void paintDarkStrip(HWND strip, HDC dc) {
    const TabColors& colors = DARK_TAB_COLORS;
    RECT client;
    GetClientRect(strip, &client);
    fill(dc, client, colors.strip);
    RECT editor;
    if (GetWindowRect(noteEditor, &editor)) {
        MapWindowPoints(nullptr, strip, reinterpret_cast<POINT*>(&editor), 2);
        ExcludeClipRect(dc, editor.left, editor.top, editor.right, editor.bottom);
        InflateRect(&editor, 1, 1);
        frame(dc, editor, colors.border);
    }
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(strip, WM_GETFONT, 0, 0)));
    int selected = static_cast<int>(SendMessageA(strip, TCM_GETCURSEL, 0, 0));
    int focused =
        GetFocus() == strip ? static_cast<int>(SendMessageA(strip, TCM_GETCURFOCUS, 0, 0)) : -1;
    int count = static_cast<int>(SendMessageA(strip, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        RECT tab;
        if (!SendMessageA(strip, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab)))
            continue;
        // The selected tab stands out a little, as the control draws it.
        if (index == selected)
            InflateRect(&tab, scaled(2, windowDpi(strip)), scaled(2, windowDpi(strip)));
        fill(dc, tab, index == selected ? colors.selected : colors.tab);
        frame(dc, tab, colors.border);
        UINT state = (index == selected ? ODS_SELECTED : 0) | (index == focused ? ODS_FOCUS : 0);
        DRAWITEMSTRUCT item = {
            ODT_TAB, IDC_TABSTRIP, static_cast<UINT>(index), ODA_DRAWENTIRE, state, strip, dc, tab,
            0};
        drawTabItem(&item);
    }
    SelectObject(dc, font);
}

static LRESULT CALLBACK tabStripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam) {
    if (darkTheme()) {
        PAINTSTRUCT paint;
        switch (message) {
            case WM_ERASEBKGND: return 1;
            case WM_PRINTCLIENT: paintDarkStrip(strip, reinterpret_cast<HDC>(wParam)); return 0;
            case WM_PAINT:
                paintDarkStrip(strip, BeginPaint(strip, &paint));
                EndPaint(strip, &paint);
                return 0;
        }
    }
    return CallWindowProcA(tabStripState.savedProc, strip, message, wParam, lParam);
}

void createTabStrip(HWND parent) {
    tabStripState.strip =
        CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_OWNERDRAWFIXED, 0, 0, 0,
                        0, parent, reinterpret_cast<HMENU>(IDC_TABSTRIP), instanceHandle, nullptr);
    tabStripState.savedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tabStrip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tabStripProc)));
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
    SetTextColor(item->hDC, darkTheme() ? DARK_TAB_COLORS.text : GetSysColor(COLOR_BTNTEXT));
    DrawTextA(item->hDC, caption, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    // The tabs have the keyboard (after a click on one): the user sees which tab is current.
    if ((item->itemState & ODS_FOCUS) && GetFocus() == tabStrip) {
        RECT focus = item->rcItem;
        InflateRect(&focus, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        DrawFocusRect(item->hDC, &focus);
    }
    RestoreDC(item->hDC, saved);
}
