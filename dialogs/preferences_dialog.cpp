#include "dialogs/preferences_dialog.h"

void openPreferences(HWND) {}
