#include "ui/window_view.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/view_settings.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/note_editor.h"
#include "ui/page_notices.h"
#include "ui/tab_strip.h"

#include <algorithm>
#include <commctrl.h>

namespace {

struct ViewState {
    // The window's DPI as it was last told: Windows tells a move to a monitor of another scale.
    UINT dpi = BASE_DPI;
    HFONT tabFont = nullptr;
    HFONT editorFont = nullptr;
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    int textPoints = 0; // 0: the normal size
    bool maximized = false;
    bool maximizeAtFirstShowing = false;
    // The place as it was last read or written: an unchanged one is not written again.
    bool placeKnown = false;
    WindowPlace place = {};
    bool onTopRead = false;
    bool onTop = false;
};

} // namespace

static ProgramState<ViewState> view;

// The sizes that Ctrl+Plus and Ctrl+Minus step through, in points.
static const int TEXT_SIZES[] = {6,  7,  8,  9,  10, 11, 12, 14, 16, 18, 20,
                                 22, 24, 26, 28, 32, 36, 40, 48, 56, 64, 72};

// A place that no monitor shows any more (a monitor unplugged, say) is moved into the nearest
// work area, and made to fit it.
static RECT onAMonitor(RECT rect) {
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        return rect;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int width = std::min(rect.right - rect.left, work.right - work.left);
    int height = std::min(rect.bottom - rect.top, work.bottom - work.top);
    int left = std::max(work.left, std::min(rect.left, work.right - width));
    int top = std::max(work.top, std::min(rect.top, work.bottom - height));
    return {left, top, left + width, top + height};
}

RECT firstWindowRect(bool& maximized) {
    UINT dpi = systemDpi();
    WindowPlace place;
    if (!readWindowPlace(place)) {
        maximized = false;
        int width = scaled(450, dpi);
        int height = scaled(480, dpi);
        int left = screenWidth / 2 - width / 2;
        int top = screenHeight / 2 - height / 2;
        return {left, top, left + width, top + height};
    }
    view.placeKnown = true;
    view.place = place;
    RECT rect = place.normal;
    // A place kept at another scale keeps its corner and takes its size at this one.
    rect.right = rect.left + MulDiv(rect.right - rect.left, dpi, place.dpi);
    rect.bottom = rect.top + MulDiv(rect.bottom - rect.top, dpi, place.dpi);
    maximized = place.maximized != FALSE;
    view.maximized = maximized;
    view.maximizeAtFirstShowing = maximized;
    return onAMonitor(rect);
}

// At the system's scale the class's icons serve.
static void setIcons(HWND window, UINT dpi) {
    bool ownIcons = dpi != systemDpi();
    HICON smallIcon = ownIcons ? loadIcon(IDI_NOTES, true, dpi) : nullptr;
    HICON bigIcon = ownIcons ? loadIcon(IDI_NOTES, false, dpi) : nullptr;
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    DestroyIcon(view.smallIcon);
    DestroyIcon(view.bigIcon);
    view.smallIcon = smallIcon;
    view.bigIcon = bigIcon;
}

// The editor's font follows the text size, the tabs' keeps the stock font's, which is made for
// the system's scale already (deleting a stock font does nothing).
static HFONT fontFor(UINT dpi, int points) {
    if (!points && dpi == systemDpi())
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return createGuiFont(dpi, points);
}

static void setFonts(UINT dpi, bool redraw) {
    HFONT tabFont = fontFor(dpi, 0);
    HFONT editorFont = fontFor(dpi, view.textPoints);
    // The room around a tab's caption, 6 by 3 pixels at 96 DPI, grows with its text.
    SendMessageA(tabStrip, TCM_SETPADDING, 0, MAKELPARAM(scaled(6, dpi), scaled(3, dpi)));
    SendMessageA(tabStrip, WM_SETFONT, reinterpret_cast<WPARAM>(tabFont), redraw);
    SendMessageA(noteEditor, WM_SETFONT, reinterpret_cast<WPARAM>(editorFont), redraw);
    DeleteObject(view.tabFont);
    DeleteObject(view.editorFont);
    view.tabFont = tabFont;
    view.editorFont = editorFont;
}

void setUpView(HWND window) {
    view.textPoints = static_cast<int>(readUserChoice(TEXT_SIZE_VALUE, 0));
    if (view.textPoints < TEXT_SIZES[0] || view.textPoints > 72)
        view.textPoints = 0;
    view.dpi = windowDpi(window);
    setFonts(view.dpi, false);
    setIcons(window, view.dpi);
}

void layOutChildren(HWND window) {
    UINT dpi = view.dpi;
    RECT client;
    GetClientRect(window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    int margin = scaled(5, dpi);
    int tabs = scaled(28, dpi);
    SetWindowPos(tabStrip, HWND_TOP, 0, 0, width, height, 0);
    SetWindowPos(noteEditor, HWND_TOP, margin, tabs, std::max(width - 2 * margin, 0),
                 std::max(height - tabs - scaled(2, dpi), 0), 0);
}

void takeNewDpi(HWND window, UINT dpi, const RECT& suggested) {
    view.dpi = dpi;
    setFonts(dpi, true);
    setIcons(window, dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layOutChildren(window);
}

static int nextTextSize(int points, int step) {
    if (step > 0) {
        for (int size : TEXT_SIZES)
            if (size > points)
                return size;
        return TEXT_SIZES[sizeof TEXT_SIZES / sizeof *TEXT_SIZES - 1];
    }
    int smaller = TEXT_SIZES[0];
    for (int size : TEXT_SIZES)
        if (size < points)
            smaller = size;
    return smaller;
}

// The text size in points that the editor shows; the normal size when the user chose none.
static int textSize() {
    return view.textPoints ? view.textPoints : guiFontPoints();
}

void changeTextSize(int step) {
    int points = step ? nextTextSize(textSize(), step) : 0;
    if (points == view.textPoints)
        return;
    view.textPoints = points == guiFontPoints() ? 0 : points;
    writeUserChoice(TEXT_SIZE_VALUE, static_cast<DWORD>(view.textPoints));
    setFonts(view.dpi, true);
}

void rememberWindowPlace(HWND window) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!IsWindowVisible(window) || !GetWindowPlacement(window, &placement))
        return;
    bool minimized = placement.showCmd == SW_SHOWMINIMIZED;
    bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                     (minimized && (placement.flags & WPF_RESTORETOMAXIMIZED));
    // The normal place is given in the coordinates of the work area, which start below or
    // beside a taskbar at the top or the left.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT normal = placement.rcNormalPosition;
    OffsetRect(&normal, monitor.rcWork.left - monitor.rcMonitor.left,
               monitor.rcWork.top - monitor.rcMonitor.top);
    view.maximized = maximized;
    WindowPlace place = {normal, view.dpi, maximized};
    if (view.placeKnown && EqualRect(&place.normal, &view.place.normal) &&
        place.dpi == view.place.dpi && place.maximized == view.place.maximized)
        return;
    view.placeKnown = true;
    view.place = place;
    writeWindowPlace(place);
}

bool alwaysOnTop() {
    if (!view.onTopRead) {
        view.onTopRead = true;
        view.onTop = readUserChoice(ALWAYS_ON_TOP_VALUE, 0) == 1;
    }
    return view.onTop;
}

static void placeOnTop(HWND window, bool onTop) {
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void setAlwaysOnTop(HWND window, bool onTop) {
    alwaysOnTop();
    view.onTop = onTop;
    placeOnTop(window, onTop);
    if (!writeUserChoice(ALWAYS_ON_TOP_VALUE, onTop ? 1 : 0))
        tellChoiceNotKept(GetLastError());
}

void applyAlwaysOnTop(HWND window) {
    if (alwaysOnTop())
        placeOnTop(window, true);
}

void windowSized(HWND window, WPARAM kind) {
    if (kind != SIZE_MINIMIZED && (kind == SIZE_MAXIMIZED) != view.maximized)
        rememberWindowPlace(window);
}

bool maximizeAtFirstShowing() {
    bool maximize = view.maximizeAtFirstShowing;
    view.maximizeAtFirstShowing = false;
    return maximize;
}

void releaseView() {
    DeleteObject(view.tabFont);
    DeleteObject(view.editorFont);
    DestroyIcon(view.smallIcon);
    DestroyIcon(view.bigIcon);
    view.tabFont = view.editorFont = nullptr;
    view.smallIcon = view.bigIcon = nullptr;
}
