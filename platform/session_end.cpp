#include "platform/session_end.h"

#include "app/program_state.h"

// The reasons came with Windows Vista: they are looked up, so that older systems still start.
typedef BOOL(WINAPI* CreateReason)(HWND, LPCWSTR);
typedef BOOL(WINAPI* DestroyReason)(HWND);

namespace {

struct SessionEndState {
    // A reason is shown beside the program's name.
    bool blocked = false;
};

} // namespace

static ProgramState<SessionEndState> sessionEnd;

static FARPROC user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

void blockSessionEnd(HWND window, const char* reason) {
    auto create = reinterpret_cast<CreateReason>(
        reinterpret_cast<void*>(user32Function("ShutdownBlockReasonCreate")));
    WCHAR wide[256];
    if (create && MultiByteToWideChar(CP_ACP, 0, reason, -1, wide, 256))
        sessionEnd.blocked = create(window, wide) != FALSE;
}

void allowSessionEnd(HWND window) {
    auto destroy = reinterpret_cast<DestroyReason>(
        reinterpret_cast<void*>(user32Function("ShutdownBlockReasonDestroy")));
    if (sessionEnd.blocked && destroy)
        destroy(window);
    sessionEnd.blocked = false;
}
