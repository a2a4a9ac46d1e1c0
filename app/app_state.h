// Process-wide values set at start-up and read by every part of the program.
#pragma once
#include <windows.h>

extern HINSTANCE instanceHandle;
extern char appCaption[50];
extern char installFolder[MAX_PATH];
extern HANDLE singleInstanceMutex;
extern bool openPreferencesAtStart;
extern int screenWidth;
extern int screenHeight;
extern UINT taskbarCreatedMessage;

// Formats a path into a MAX_PATH buffer; false when it would not fit, so that no
// caller ever works on a cut path.
bool formatPath(char (&path)[MAX_PATH], const char* format, ...);
