// Start-up, the single running copy, the message loop and the end of the program.
#pragma once
#include <windows.h>

#include "platform/view_settings.h"

enum class StartResult { Running, SecondCopy, Failed };

// Everything before the message loop. A second copy hands over to the running one and is done.
StartResult startProgram(HINSTANCE instance, const char* commandLine);
int runMessageLoop();
// The program's keys (Ctrl+S, Ctrl+Tab and the others) become its commands, whatever window of
// the program has the keyboard, and the Find dialog gets the keys that move about in it; true
// when the message was taken so.
bool translateProgramKeys(MSG& message);
void finishProgram();
// The whole life of the program, as the entry point runs it; returns the exit code.
int runProgram(HINSTANCE instance, const char* commandLine);

// What a second copy asks of the running copy's window: to come forward, and to open its
// Preferences.
void bringRunningCopyForward(HWND runningWindow, bool preferences);

// Where setup records the install folder, under the program's key.
extern const char* const INSTALLED_PATH_VALUE;
void readInstallFolder();
