// Previous Versions: the versions kept of the current page, newest first, a view of the one
// selected, and its restore.
#pragma once
#include <windows.h>

void openPreviousVersions(HWND owner);
