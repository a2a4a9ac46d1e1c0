// Holding up the end of the session: Windows shows the reason beside the program's name, so
// the user sees which program waits and why.
#pragma once
#include <windows.h>

// Nothing is shown where Windows keeps no reasons (before Vista, and under Wine).
void blockSessionEnd(HWND window, const char* reason);
// Takes back a reason given before; nothing happens when none was given.
void allowSessionEnd(HWND window);
