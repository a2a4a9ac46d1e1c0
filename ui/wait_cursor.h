// The wait cursor, shown while the program is busy for a noticeable time.
#pragma once
#include <windows.h>

class WaitCursor {
  public:
    explicit WaitCursor(bool needed)
        : shown(needed), previous(needed ? SetCursor(LoadCursorA(nullptr, IDC_WAIT)) : nullptr) {}
    ~WaitCursor() {
        if (shown)
            SetCursor(previous);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    bool shown;
    HCURSOR previous;
};
