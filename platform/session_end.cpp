#include "platform/session_end.h"

#include "app/program_state.h"
#include "platform/user32_function.h"

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

void blockSessionEnd(HWND window, const char* reason) {
    auto create = user32Function<CreateReason>("ShutdownBlockReasonCreate");
    WCHAR wide[256];
    if (create && MultiByteToWideChar(CP_ACP, 0, reason, -1, wide, 256))
        sessionEnd.blocked = create(window, wide) != FALSE;
}

void allowSessionEnd(HWND window) {
    auto destroy = user32Function<DestroyReason>("ShutdownBlockReasonDestroy");
    if (sessionEnd.blocked && destroy)
        destroy(window);
    sessionEnd.blocked = false;
}
