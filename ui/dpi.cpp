#include "ui/dpi.h"

#include "app/app_state.h"
#include "platform/user32_function.h"

typedef UINT(WINAPI* GetDpiForWindowCall)(HWND);
typedef int(WINAPI* GetSystemMetricsForDpiCall)(int, UINT);

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : BASE_DPI;
}

UINT windowDpi(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowCall>("GetDpiForWindow");
    UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), BASE_DPI);
}

int systemMetric(int index, UINT dpi) {
    static const auto getSystemMetricsForDpi =
        user32Function<GetSystemMetricsForDpiCall>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

// The stock font is made for the system's DPI.
static LOGFONTA stockGuiFont() {
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

// The stock font's height in pixels at 96 DPI, where the program's pixels are written.
static int guiFontHeight() {
    LOGFONTA font = stockGuiFont();
    int height = MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, BASE_DPI,
                        static_cast<int>(systemDpi()));
    return height > 0 ? height : 11;
}

int guiFontPoints() {
    return MulDiv(guiFontHeight(), 72, BASE_DPI);
}

HFONT createGuiFont(UINT dpi, int points) {
    LOGFONTA font = stockGuiFont();
    font.lfHeight = points ? -MulDiv(points, static_cast<int>(dpi), 72)
                           : -MulDiv(guiFontHeight(), static_cast<int>(dpi), BASE_DPI);
    font.lfWidth = 0;
    return CreateFontIndirectA(&font);
}

HICON loadIcon(int id, bool small, UINT dpi) {
    int size = systemMetric(small ? SM_CXSMICON : SM_CXICON, dpi);
    return static_cast<HICON>(
        LoadImageA(instanceHandle, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
