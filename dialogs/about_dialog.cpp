#include "dialogs/about_dialog.h"

INT_PTR showAboutDialog(HWND) {
    return 0;
}
