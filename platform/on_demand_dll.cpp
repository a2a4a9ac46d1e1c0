#include "platform/on_demand_dll.h"

#include "app/app_state.h"
#include "platform/system_message.h"
#include "ui/modal.h"

#include <cstdio>
#include <cstring>
#include <string>

const char* const COMMON_DIALOGS_DLL = "comdlg32.dll";
const char* const VERSION_DLL = "version.dll";

static HMODULE loadSystemDll(const char* dll) {
    char path[MAX_PATH];
    UINT folder = GetSystemDirectoryA(path, sizeof path);
    if (folder == 0)
        return nullptr;
    if (folder + 1 + strlen(dll) >= sizeof path) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    snprintf(path + folder, sizeof path - folder, "\\%s", dll);
    HMODULE loaded = GetModuleHandleA(path);
    return loaded ? loaded : LoadLibraryA(path);
}

bool loadDllForWindow(HWND owner, const char* window, const char* dll) {
    if (loadSystemDll(dll))
        return true;
    std::string reason = systemMessage(GetLastError());
    char text[512];
    snprintf(text, sizeof text, "%s cannot open, because the system's %s could not be loaded.%s%s",
             window, dll, reason.empty() ? "" : "\n\n", reason.c_str());
    messageBox(owner, text, appCaption, MB_OK | MB_ICONERROR);
    return false;
}

FARPROC systemDllFunction(const char* dll, const char* name) {
    HMODULE module = loadSystemDll(dll);
    return module ? GetProcAddress(module, name) : nullptr;
}
