// Drives modal dialogs and message boxes from inside their own modal loop: a thread timer
// finds the dialog that has come up and hands it to the next queued step.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class ModalDriver {
  public:
    using Step = std::function<void(HWND dialog)>;

    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Each step is given one newly shown dialog, in the order they appear.
    void then(Step step);
    size_t pendingSteps() const { return steps.size(); }
    // A modeless dialog that stays open (Find) is none of the dialogs the steps are for.
    void ignore(HWND dialog) { handled.push_back(dialog); }
    // Texts and captions of the dialogs seen, in order.
    std::vector<std::string> seenTexts;
    std::vector<std::string> seenCaptions;

  private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void poll();
    std::deque<Step> steps;
    std::vector<HWND> handled;
    UINT_PTR timer;
};

// The shown top-level windows of a class ("#32770" for dialogs and message boxes, "#32768" for
// popup menus), in their order from the top: of this thread, or of every thread.
std::vector<HWND> shownWindows(const char* className, bool anyThread = false);
// The icons that the icon controls of a dialog or message box show.
std::vector<HICON> shownIcons(HWND dialog);

// Presses a button of a dialog or message box as a click would.
void pressButton(HWND dialog, int id);
std::string windowText(HWND window);
// The text of a message box (its static text control).
std::string messageBoxText(HWND box);
// The Save As dialog's file name box: cmb13 (an edit or a combo box), or edt1.
HWND saveAsFileNameBox(HWND saveAs);
// Message box steps: record and answer with the given button.
ModalDriver::Step answer(int button);

// Drives a popup menu from inside its menu loop: the step gets the menu that is shown and
// its window, then closes it (closeMenu) or chooses an item by its mnemonic (chooseByKey).
class MenuDriver {
  public:
    using Step = std::function<void(HMENU menu, HWND menuWindow)>;
    explicit MenuDriver(Step step);
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;
    int menusSeen = 0;

  private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    Step step;
    UINT_PTR timer;
};

void closeMenu();
void chooseByKey(HWND menuWindow, char mnemonic);
std::string menuItemText(HMENU menu, int position);
