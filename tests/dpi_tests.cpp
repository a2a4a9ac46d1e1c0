// At the display's scale: run in a Wine prefix whose system DPI is given on the command line
// (--dpi=144), the main window, its layout, its fonts and the tray icon follow the scale; and a
// WM_DPICHANGED, which Wine never sends, moves the window and lays it out at the new scale.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "ui/dpi.h"
#include "ui/tray_icon.h"
#include "ui/window_view.h"

#include <cstring>

static UINT expectedDpi = BASE_DPI;

namespace {

using ScaledWindow = ProgramTest;

int fontHeight(HWND window) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

int iconWidth(HICON icon) {
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (!GetIconInfo(icon, &info))
        return 0;
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The title bar's icon: the window's own, or else its class's.
HICON windowSmallIcon() {
    auto icon = reinterpret_cast<HICON>(SendMessageA(mainWindow, WM_GETICON, ICON_SMALL, 0));
    return icon ? icon : reinterpret_cast<HICON>(GetClassLongPtrA(mainWindow, GCLP_HICONSM));
}

// The editor's place in the main window's client area, and the main window's size.
void expectLaidOutAt(UINT dpi) {
    RECT window;
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ(window.right - window.left, MulDiv(450, dpi, BASE_DPI));
    EXPECT_EQ(window.bottom - window.top, MulDiv(480, dpi, BASE_DPI));
    RECT client, editor;
    GetClientRect(mainWindow, &client);
    GetWindowRect(noteEditor, &editor);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(editor.left, MulDiv(5, dpi, BASE_DPI));
    EXPECT_EQ(editor.top, MulDiv(28, dpi, BASE_DPI));
    EXPECT_EQ(client.right - editor.right, MulDiv(5, dpi, BASE_DPI));
    EXPECT_EQ(client.bottom - editor.bottom, MulDiv(2, dpi, BASE_DPI));
}

} // namespace

TEST_F(ScaledWindow, FollowsTheScaleOfTheSystem) {
    ASSERT_EQ(systemDpi(), expectedDpi) << "the prefix runs at the scale it was set up with";
    start();
    expectLaidOutAt(expectedDpi);
    // The stock font is 8 points: 11 pixels at 96 DPI.
    EXPECT_EQ(fontHeight(noteEditor), MulDiv(11, expectedDpi, BASE_DPI));
    EXPECT_EQ(fontHeight(tabStrip), MulDiv(11, expectedDpi, BASE_DPI));
    EXPECT_EQ(iconWidth(trayIcon.data.hIcon), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), MulDiv(16, expectedDpi, BASE_DPI));
    EXPECT_EQ(iconWidth(windowSmallIcon()), GetSystemMetrics(SM_CXSMICON));
}

TEST_F(ScaledWindow, MovedToAMonitorOfAnotherScaleTakesItsPlaceFontsAndLayout) {
    start();
    // A window of the other scale still fits the virtual screen.
    UINT other = 120;
    RECT suggested = {40, 30, 40 + MulDiv(450, other, BASE_DPI), 30 + MulDiv(480, other, BASE_DPI)};
    SendMessageA(mainWindow, WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window;
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
    expectLaidOutAt(other);
    EXPECT_EQ(fontHeight(noteEditor), MulDiv(11, other, BASE_DPI));
    EXPECT_EQ(iconWidth(windowSmallIcon()), MulDiv(16, other, BASE_DPI));
}

// The dialog manager scales a template by itself; the icons it would load at 96 DPI's size are
// loaded at the dialog's.
TEST_F(ScaledWindow, DialogIconsAreLoadedAtTheirScale) {
    start();
    int titleIcon = 0, options = 0;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        titleIcon =
            iconWidth(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)));
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = {};
            GetClassNameA(child, className, sizeof className);
            if (strcmp(className, "Static") == 0 &&
                (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                options =
                    iconWidth(reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)));
        }
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    command(IDM_PREFERENCES);
    EXPECT_EQ(titleIcon, MulDiv(16, expectedDpi, BASE_DPI));
    EXPECT_EQ(options, MulDiv(48, expectedDpi, BASE_DPI)) << "the last icon, the options' picture";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], "--dpi=", 6) == 0)
            expectedDpi = static_cast<UINT>(atoi(argv[i] + 6));
    return RUN_ALL_TESTS();
}
