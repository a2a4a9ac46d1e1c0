#include "ui/modal.h"

#include "app/app_state.h"
#include "storage/settings.h"
#include "ui/main_window.h"

#include <cstdio>

static int openModalWindows;
static UINT heldCommand;

namespace {

// Counts a modal window for as long as its loop runs.
struct ModalLoop {
    ModalLoop() { ++openModalWindows; }
    ~ModalLoop() {
        // A menu's loop that ends while the program is ending may have taken the quit message.
        if (programEnding)
            PostQuitMessage(0);
        if (--openModalWindows > 0 || !heldCommand)
            return;
        // Posted, so that the code that opened the last window finishes first.
        PostMessageA(mainWindow, WM_COMMAND, heldCommand, 0);
        heldCommand = 0;
    }
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;
};

} // namespace

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    ModalLoop loop;
    return MessageBoxA(owner, text, caption, type);
}

INT_PTR dialogBox(int templateId, HWND owner, DLGPROC procedure) {
    ModalLoop loop;
    return DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(templateId), owner, procedure, 0);
}

bool askSaveFileName(OPENFILENAMEA& request) {
    ModalLoop loop;
    return GetSaveFileNameA(&request) != FALSE;
}

UINT trackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) {
    ModalLoop loop;
    return static_cast<UINT>(TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr));
}

bool askAboutCurrentPage(const char* format) {
    char text[300];
    snprintf(text, sizeof text, format, settings.pageNames[currentPage]);
    return messageBox(mainWindow, text, appCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

bool modalWindowOpen() {
    return openModalWindows > 0;
}

void holdCommand(UINT id) {
    heldCommand = id;
}
