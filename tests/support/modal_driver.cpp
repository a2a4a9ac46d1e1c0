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

using WindowSearch = std::pair<const char*, std::vector<HWND>>;

static BOOL CALLBACK collectShownWindow(HWND window, LPARAM search) {
    WindowSearch& shown = *reinterpret_cast<WindowSearch*>(search);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, shown.first) == 0 && IsWindowVisible(window))
        shown.second.push_back(window);
    return TRUE;
}

std::vector<HWND> shownWindows(const char* className, bool anyThread) {
    WindowSearch shown = {className, {}};
    LPARAM search = reinterpret_cast<LPARAM>(&shown);
    anyThread ? EnumWindows(collectShownWindow, search)
              : EnumThreadWindows(GetCurrentThreadId(), collectShownWindow, search);
    return shown.second;
}

void ModalDriver::poll() {
    if (steps.empty())
        return;
    std::vector<HWND> dialogs = shownWindows("#32770");
    auto top = std::find_if(dialogs.begin(), dialogs.end(), IsWindowEnabled);
    HWND dialog = top == dialogs.end() ? nullptr : *top;
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

static BOOL CALLBACK collectIcon(HWND child, LPARAM icons) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        reinterpret_cast<std::vector<HICON>*>(icons)->push_back(
            reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)));
    return TRUE;
}

std::vector<HICON> shownIcons(HWND dialog) {
    std::vector<HICON> icons;
    EnumChildWindows(dialog, collectIcon, reinterpret_cast<LPARAM>(&icons));
    return icons;
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

void CALLBACK MenuDriver::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    MenuDriver* driver = activeMenuDriver;
    std::vector<HWND> menus = shownWindows("#32768", true);
    if (!driver || menus.empty())
        return;
    HWND menuWindow = menus.front();
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
