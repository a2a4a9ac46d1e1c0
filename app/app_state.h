// Process-wide values set at start-up and read by every part of the program.
#pragma once
#include <windows.h>

extern HINSTANCE& instanceHandle;
extern char (&appCaption)[50];
extern char (&installFolder)[MAX_PATH];
extern HANDLE& singleInstanceMutex;
extern bool& openPreferencesAtStart;
// The main window once start-up has made it; in a second copy, the running copy's.
extern HWND& mainWindow;
// The main window is shown: from the command line at start, then as it is shown and hidden.
extern bool& windowVisible;
// Set once the final close has begun (the quit command, the end of the session): from then on
// nothing is saved, shown or written, whatever was waiting in a modal loop.
extern const bool& programEnding;
// The final close begins: a menu's loop ends at once, and every loop finds the program ending.
void beginProgramEnd();

// Measured once, before the program starts.
extern const int screenWidth;
extern const int screenHeight;
extern const UINT taskbarCreatedMessage;
