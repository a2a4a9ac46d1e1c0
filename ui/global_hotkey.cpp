#include "ui/global_hotkey.h"

#include "app/program_state.h"
#include "platform/view_settings.h"
#include "ui/page_notices.h"
#include "ui/tray_icon.h"

#include <commctrl.h>

// Holding the key down toggles the window once; Windows before 7 know no such flag.
static const UINT NO_REPEAT = 0x4000;

namespace {

struct HotkeyState {
    bool choiceRead = false;
    WORD choice = DEFAULT_HOTKEY;
    // The id the key is registered under, 1 or 2, and 0 while none is: a new key is registered
    // under the other id before the old one goes.
    int registeredId = 0;
};

} // namespace

static ProgramState<HotkeyState> hotkey;

static bool isModifierKey(BYTE key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LWIN ||
           key == VK_RWIN || (key >= VK_LSHIFT && key <= VK_RMENU);
}

static bool isUsableKey(DWORD stored) {
    BYTE key = LOBYTE(stored);
    BYTE modifiers = HIBYTE(LOWORD(stored));
    return stored == 0 ||
           (stored <= 0xFFFF && key != 0 && key != 0xFF && !isModifierKey(key) &&
            (modifiers & (HOTKEYF_CONTROL | HOTKEYF_ALT)) &&
            !(modifiers & ~(HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_EXT)));
}

WORD hotkeyChoice() {
    if (!hotkey.choiceRead) {
        DWORD stored = readUserChoice(HOTKEY_VALUE, DEFAULT_HOTKEY);
        hotkey.choiceRead = true;
        hotkey.choice = isUsableKey(stored) ? static_cast<WORD>(stored) : DEFAULT_HOTKEY;
    }
    return hotkey.choice;
}

std::string hotkeyName(WORD key) {
    BYTE modifiers = HIBYTE(key);
    std::string name;
    if (modifiers & HOTKEYF_CONTROL)
        name += "Ctrl+";
    if (modifiers & HOTKEYF_ALT)
        name += "Alt+";
    if (modifiers & HOTKEYF_SHIFT)
        name += "Shift+";
    char keyName[64] = {};
    LONG scanCode = static_cast<LONG>(MapVirtualKeyA(LOBYTE(key), MAPVK_VK_TO_VSC)) << 16;
    if (modifiers & HOTKEYF_EXT)
        scanCode |= 1 << 24;
    if (!GetKeyNameTextA(scanCode, keyName, sizeof keyName))
        keyName[0] = static_cast<char>(LOBYTE(key));
    return name + keyName;
}

static bool registerKey(HWND window, int id, WORD key) {
    BYTE modifiers = HIBYTE(key);
    UINT mods = (modifiers & HOTKEYF_CONTROL ? MOD_CONTROL : 0) |
                (modifiers & HOTKEYF_ALT ? MOD_ALT : 0) |
                (modifiers & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
    return RegisterHotKey(window, id, mods | NO_REPEAT, LOBYTE(key)) ||
           RegisterHotKey(window, id, mods, LOBYTE(key));
}

static void tellHotkeyTaken(WORD key) {
    std::string text = hotkeyName(key) +
                       " is in use by another program; choose another key in the window menu's "
                       "Global Hotkey.";
    showBalloon("Global hotkey", text.c_str(), NIIF_WARNING);
}

void registerGlobalHotkey(HWND window) {
    WORD key = hotkeyChoice();
    if (key && registerKey(window, 1, key))
        hotkey.registeredId = 1;
    else if (key)
        tellHotkeyTaken(key);
}

bool hotkeyWorks() {
    return hotkey.registeredId != 0;
}

bool changeGlobalHotkey(HWND window, WORD key) {
    if (key == hotkeyChoice() && (hotkeyWorks() || !key))
        return true;
    int newId = hotkey.registeredId == 1 ? 2 : 1;
    if (key && !registerKey(window, newId, key))
        return false;
    unregisterGlobalHotkey(window);
    hotkey.registeredId = key ? newId : 0;
    hotkey.choice = key;
    if (!writeUserChoice(HOTKEY_VALUE, key))
        tellChoiceNotKept(GetLastError());
    return true;
}

void unregisterGlobalHotkey(HWND window) {
    if (hotkey.registeredId)
        UnregisterHotKey(window, hotkey.registeredId);
    hotkey.registeredId = 0;
}
