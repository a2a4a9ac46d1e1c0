// Real input, as the user's hand gives it to the window that has the keyboard or the mouse.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <vector>

// A key pressed, or with KEYEVENTF_KEYUP let go.
INPUT keyInput(WORD key, DWORD flags = 0);
// Sends the input and lets the program take it: it has, once its thread has had every key let go.
void sendAndTakeInput(std::vector<INPUT> inputs);

// Presses the keys in order and lets them go in the reverse order, then lets the program take
// them in.
void pressKeys(std::initializer_list<WORD> keys);
// The keyboard goes to the note editor of the main window, in the foreground.
void focusEditor();
// A mouse event at a screen point.
void sendMouse(DWORD flags, POINT at);
