// The system's DLLs that only a dialog needs are loaded when that dialog first opens, so that a
// start which opens none of them never pays for them: comdlg32.dll for Save As and Find,
// version.dll for About. They come from the system folder alone, never from a folder that a file
// planted beside the program could stand in for.
#pragma once
#include <windows.h>

extern const char* const COMMON_DIALOGS_DLL;
extern const char* const VERSION_DLL;

// Loads the DLL for the window named (for instance "About"); when it cannot be loaded, the user
// is told in a box owned by owner that the window cannot open, and false is returned.
bool loadDllForWindow(HWND owner, const char* window, const char* dll);

// A function of a DLL of the system folder, which is loaded the first time; null, with the reason
// as the last error, when the DLL or the function cannot be had.
FARPROC systemDllFunction(const char* dll, const char* name);

template <typename Function> Function* systemDllFunction(const char* dll, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(systemDllFunction(dll, name)));
}
