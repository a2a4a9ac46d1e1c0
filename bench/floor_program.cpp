// The floor of start-up: a bare program that registers a class, puts an icon in the tray and
// shows one window holding a tab control and an edit control, then waits in its message loop.
// It has what the user sees of the program at start, made as simply as it can be.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

static NOTIFYICONDATAA trayIcon;

static void createChildren(HWND window) {
    CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 0, 0, 434, 441, window, nullptr,
                    nullptr, nullptr);
    CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                    5, 28, 424, 411, window, nullptr, nullptr, nullptr);
}

static LRESULT CALLBACK floorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: createChildren(window); break;
        case WM_DESTROY:
            Shell_NotifyIconA(NIM_DELETE, &trayIcon);
            PostQuitMessage(0);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = floorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "FloorWindow";
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, "FloorWindow", "Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 450, 480, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon.hWnd = window;
    trayIcon.uID = 1;
    trayIcon.uFlags = NIF_ICON | NIF_TIP;
    trayIcon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpyA(trayIcon.szTip, "Floor");
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
