#include "app/app_state.h"

#include <cstdarg>
#include <cstdio>

HINSTANCE instanceHandle;
char appCaption[50];
char installFolder[MAX_PATH];
HANDLE singleInstanceMutex;
bool openPreferencesAtStart;
int screenWidth = GetSystemMetrics(SM_CXSCREEN);
int screenHeight = GetSystemMetrics(SM_CYSCREEN);
UINT taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

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
