#include "support/user_input.h"

#include "support/program_driver.h"

#include "app/app_state.h"
#include "ui/note_editor.h"

INPUT keyInput(WORD key, DWORD flags) {
    INPUT input = {INPUT_KEYBOARD, {}};
    input.ki = {key, 0, flags, 0, 0};
    return input;
}

static int keysLetGo;

// Counts the keys let go as the thread takes them from its queue, whatever loop takes them.
static LRESULT CALLBACK countKeysLetGo(int code, WPARAM removed, LPARAM message) {
    UINT id = reinterpret_cast<const MSG*>(message)->message;
    keysLetGo += code == HC_ACTION && removed == PM_REMOVE && (id == WM_KEYUP || id == WM_SYSKEYUP);
    return CallNextHookEx(nullptr, code, removed, message);
}

void sendAndTakeInput(std::vector<INPUT> inputs) {
    int letGo = 0;
    for (const INPUT& input : inputs)
        letGo += input.type == INPUT_KEYBOARD && (input.ki.dwFlags & KEYEVENTF_KEYUP);
    keysLetGo = 0;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, countKeysLetGo, nullptr, GetCurrentThreadId());
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    pumpUntil([letGo] { return keysLetGo >= letGo; });
    UnhookWindowsHookEx(hook);
}

void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(keyInput(key));
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(keyInput(*--key, KEYEVENTF_KEYUP));
    sendAndTakeInput(inputs);
}

void focusEditor() {
    SetForegroundWindow(mainWindow);
    SetFocus(noteEditor);
    pumpMessages();
}

void sendMouse(DWORD flags, POINT at) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}
