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

// Measured once, before the program starts.
extern const int screenWidth;
extern const int screenHeight;
extern const UINT taskbarCreatedMessage;
