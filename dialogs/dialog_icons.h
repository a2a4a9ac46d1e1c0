// The icons of the program's dialogs at the dialog's DPI: the small icon of the title bar, and
// the pictures of its icon controls, which the dialog manager would load at 96 DPI's size.
#pragma once
#include <windows.h>

#include <initializer_list>

struct DialogPicture {
    int icon;
    int size; // in pixels at 96 DPI
};

// The pictures are those of all the dialog's icon controls, in the order of its template.
void showDialogIcons(HWND dialog, std::initializer_list<DialogPicture> pictures = {});
// On WM_DESTROY: what showDialogIcons loaded is let go.
void releaseDialogIcons(HWND dialog);
