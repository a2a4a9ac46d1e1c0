#include "app/app_state.h"

#include "app/program_state.h"

#include <cstdarg>
#include <cstdio>

namespace {

struct AppState {
    HINSTANCE instanceHandle = nullptr;
    char appCaption[50] = {};
    char installFolder[MAX_PATH] = {};
    HANDLE singleInstanceMutex = nullptr;
    bool openPreferencesAtStart = false;
    HWND mainWindow = nullptr;
    bool windowVisible = true;
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

const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
const UINT taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

bool formatPath(char (&path)[MAX_PATH], const char* format, ...) {
    ZeroMemory(path, sizeof path);
    va_list args;
    va_start(args, format);
    int length = vsnprintf(path, sizeof path, format, args);
    va_end(args);
    if (length >= 0 && length < static_cast<int>(sizeof path))
        return true;
    ZeroMemory(path, sizeof path);
    return false;
}
