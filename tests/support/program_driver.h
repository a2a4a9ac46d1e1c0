// The program's own code run in this process, driven as its message loop would drive it; shared
// by the tests and the benchmarks.
#pragma once
#include <windows.h>

#include <functional>

// Dispatches everything queued, as the message loop would (the program's keys included).
void pumpMessages();
// Pumps until the condition holds or the time is up; returns the condition.
bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000);
// The start-up with the command line, run in the current folder up to the message loop; true
// when the program runs.
bool startProgramHere(const char* commandLine = "");
// The program has closed its windows: the loop takes its quit message and the end of the program
// follows; returns the exit code.
int runToExit();
// Chooses the quit command and runs the loop to its end; returns the exit code.
int quitProgram();
