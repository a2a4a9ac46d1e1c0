#include "support/modal_driver.h"

#include <algorithm>
#include <dlgs.h>

static ModalDriver* activeDriver;

ModalDriver::ModalDriver() {
    activeDriver = this;
    timer = SetTimer(nullptr, 0, 30, onTimer);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer);
    activeDriver = nullptr;
}

void ModalDriver::then(Step step) {
    steps.push_back(std::move(step));
}

void CALLBACK ModalDriver::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (activeDriver)
        activeDriver->poll();
}

static BOOL CALLBACK findTopDialog(HWND window, LPARAM result) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void ModalDriver::poll() {
    if (steps.empty())
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findTopDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || std::find(handled.begin(), handled.end(), dialog) != handled.end())
        return;
    handled.push_back(dialog);
    seenCaptions.push_back(windowText(dialog));
    seenTexts.push_back(messageBoxText(dialog));
    Step step = std::move(steps.front());
    steps.pop_front();
    step(dialog);
}

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static BOOL CALLBACK findStaticText(HWND child, LPARAM result) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    std::string& text = *reinterpret_cast<std::string*>(result);
    if (_stricmp(className, "Static") == 0 && text.empty())
        text = windowText(child);
    return TRUE;
}

std::string messageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, findStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

HWND saveAsFileNameBox(HWND saveAs) {
    HWND box = GetDlgItem(saveAs, cmb13);
    return box ? box : GetDlgItem(saveAs, edt1);
}

ModalDriver::Step answer(int button) {
    return [button](HWND dialog) { pressButton(dialog, button); };
}

static MenuDriver* activeMenuDriver;

MenuDriver::MenuDriver(Step step) : step(std::move(step)) {
    activeMenuDriver = this;
    timer = SetTimer(nullptr, 0, 30, onTimer);
}

MenuDriver::~MenuDriver() {
    KillTimer(nullptr, timer);
    activeMenuDriver = nullptr;
}

static BOOL CALLBACK findMenuWindow(HWND window, LPARAM result) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32768") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK MenuDriver::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    MenuDriver* driver = activeMenuDriver;
    HWND menuWindow = nullptr;
    EnumWindows(findMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    if (!driver || !menuWindow)
        return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    ++driver->menusSeen;
    driver->step(menu, menuWindow);
}

void closeMenu() {
    EndMenu();
}

void chooseByKey(HWND menuWindow, char mnemonic) {
    PostMessageA(menuWindow, WM_CHAR, mnemonic, 0);
}

std::string menuItemText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}
