#include "support/user_input.h"

#include "support/program_driver.h"

#include "app/app_state.h"
#include "ui/note_editor.h"

INPUT keyInput(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

void sendAndTakeInput(std::vector<INPUT> inputs) {
    // A thread's key states change as it takes the keys from its queue: the first key's press
    // flips its toggle bit, and its release, the last input, clears its down bit.
    WORD key = inputs.front().ki.wVk;
    SHORT before = GetKeyState(key);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    pumpUntil([key, before] {
        SHORT now = GetKeyState(key);
        return (now & 1) != (before & 1) && now >= 0;
    });
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
