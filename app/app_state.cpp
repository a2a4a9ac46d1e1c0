#include "app/app_state.h"

#include "app/program_state.h"

namespace {

struct AppState {
    HINSTANCE instanceHandle = nullptr;
    char appCaption[50] = {};
    char installFolder[MAX_PATH] = {};
    HANDLE singleInstanceMutex = nullptr;
    bool openPreferencesAtStart = false;
    HWND mainWindow = nullptr;
    bool windowVisible = true;
    bool programEnding = false;
};

} // namespace

static ProgramState<AppState> app;
HINSTANCE& instanceHandle = app.instanceHandle;
char (&appCaption)[50] = app.appCaption;
char (&installFolder)[MAX_PATH] = app.installFolder;
HANDLE& singleInstanceMutex = app.singleInstanceMutex;
bool& openPreferencesAtStart = app.openPreferencesAtStart;
HWND& mainWindow = app.mainWindow;
bool& windowVisible = app.windowVisible;
const bool& programEnding = app.programEnding;

void beginProgramEnd() {
    app.programEnding = true;
    EndMenu();
}

const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
const UINT taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
