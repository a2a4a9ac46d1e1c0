#include "ui/modal.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/on_demand_dll.h"

#include <vector>

namespace {

struct OpenFor {
    ModalPurpose purpose;
    UINT command;
};

struct ModalRecord {
    int openWindows = 0;
    std::vector<OpenFor> purposes; // the innermost last
    UINT heldCommand = 0;
    bool programEnding = false;
};

} // namespace

static ProgramState<ModalRecord> record;
const bool& programEnding = record.programEnding;

void beginProgramEnd() {
    record.programEnding = true;
    EndMenu();
}

namespace {

// Counts a modal window for as long as its loop runs.
struct ModalLoop {
    ModalLoop() { ++record.openWindows; }
    ~ModalLoop() {
        // A menu's loop that ends while the program is ending may have taken the quit message.
        if (record.programEnding)
            PostQuitMessage(0);
        if (--record.openWindows > 0 || !record.heldCommand)
            return;
        // Posted, so that the code that opened the last window finishes first.
        PostMessageA(mainWindow, WM_COMMAND, record.heldCommand, 0);
        record.heldCommand = 0;
    }
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
};

} // namespace

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    ModalLoop loop;
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR dialogBox(int templateId, HWND owner, DLGPROC procedure, LPARAM initial) {
    ModalLoop loop;
    return DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(templateId), owner, procedure, initial);
}

bool askSaveFileName(OPENFILENAMEA& request) {
    auto getSaveFileName =
        systemDllFunction<decltype(GetSaveFileNameA)>(COMMON_DIALOGS_DLL, "GetSaveFileNameA");
    if (!getSaveFileName)
        return false;
    ModalLoop loop;
    return getSaveFileName(&request) != FALSE;
}

UINT trackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) {
    ModalLoop loop;
    return static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr));
}

ModalScope::ModalScope(ModalPurpose purpose, UINT command) {
    record.purposes.push_back({purpose, command});
}

ModalScope::~ModalScope() {
    record.purposes.pop_back();
}

bool modalWindowOpen() {
    return record.openWindows > 0;
}

bool modalOpenFor(ModalPurpose purpose, UINT command) {
    for (const OpenFor& open : record.purposes) {
        if (open.purpose == purpose &&
            (purpose != ModalPurpose::Command || open.command == command))
            return true;
    }
    return false;
}

void holdCommand(UINT id) {
    record.heldCommand = id;
}
