// A key that shows and hides the notes from any program: Ctrl+Alt+J unless the user chose
// another or none, kept per user as the hotkey control gives it (the virtual key in the low
// byte, the HOTKEYF_ modifiers in the next; 0 for none).
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <string>

constexpr WORD DEFAULT_HOTKEY = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'J';

// The key the user chose, or the default where none is kept or the one kept is no key that
// Ctrl or Alt goes with; 0 for none.
WORD hotkeyChoice();
// The key's name as the user reads it, such as "Ctrl+Alt+J".
std::string hotkeyName(WORD key);
// At start: the chosen key is registered for the window; when another program holds it, a
// balloon says so, once.
void registerGlobalHotkey(HWND window);
// The chosen key is registered: pressing it reaches the window.
bool hotkeyWorks();
// The user chose another key, or none: the new key is registered before the old one goes, and
// kept for the next start. False, with the old key still registered, when another program holds
// the new one.
bool changeGlobalHotkey(HWND window, WORD key);
// At the end: the key is another program's to take.
void unregisterGlobalHotkey(HWND window);
