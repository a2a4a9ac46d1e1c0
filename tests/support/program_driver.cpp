#include "support/program_driver.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "res/resource.h"

static bool dispatchOne() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (!translateProgramKeys(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void pumpMessages() {
    while (dispatchOne()) {
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool startProgramHere(const char* commandLine) {
    if (startProgram(GetModuleHandleA(nullptr), commandLine) != StartResult::Running)
        return false;
    pumpMessages();
    return true;
}

int runToExit() {
    int exitCode = runMessageLoop();
    finishProgram();
    return exitCode;
}

int quitProgram() {
    SendMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    return runToExit();
}
