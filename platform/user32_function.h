// A function of USER32 looked up by name: the calls that came with later versions of Windows, so
// that the program still starts on the older ones. Null where the system has no such function.
#pragma once
#include <windows.h>

template <typename Function> Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC function = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}
