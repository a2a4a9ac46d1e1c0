// Export of pages through the Export dialog and the system's Save As dialog, and the About
// dialog with the version read from the executable's own resources.
#include "support/program_fixture.h"
#include "support/user_input.h"

#include "app/app_state.h"
#include "dialogs/about_dialog.h"
#include "dialogs/export_dialog.h"
#include "storage/settings.h"
#include "ui/main_window.h"

#include <commctrl.h>
#include <dlgs.h>
#include <cstring>
#include <vector>

struct SaveAsSeen {
    std::string proposedName;
    HWND owner;
};

// Remembers what the Save As dialog proposed, then saves to path, or cancels when it is empty.
static ModalDriver::Step saveAs(std::vector<SaveAsSeen>& seen, const std::string& path) {
    return [&seen, path](HWND dialog) {
        seen.push_back({windowText(saveAsFileNameBox(dialog)), GetWindow(dialog, GW_OWNER)});
        if (path.empty()) {
            pressButton(dialog, IDCANCEL);
            return;
        }
        SetWindowTextA(saveAsFileNameBox(dialog), path.c_str());
        pressButton(dialog, IDOK);
    };
}

// Ticks the given pages in the Export dialog and presses Export.
static ModalDriver::Step tickAndExport(std::vector<int> pages, HWND* exportDialog = nullptr) {
    return [pages, exportDialog](HWND dialog) {
        if (exportDialog)
            *exportDialog = dialog;
        for (int page : pages)
            SendDlgItemMessageA(dialog, IDC_EXPORT_PAGE0 + page, BM_SETCHECK, BST_CHECKED, 0);
        pressButton(dialog, IDC_EXPORT_EXPORT);
    };
}

struct BoxSeen {
    HWND owner = nullptr;
    std::vector<HICON> icons; // the system's shared icons, as LoadIcon gives them
};

// Remembers a message box's owner and icon, then answers it.
static ModalDriver::Step noteBox(BoxSeen& seen, int button) {
    return [&seen, button](HWND box) {
        seen.owner = GetWindow(box, GW_OWNER);
        seen.icons = shownIcons(box);
        pressButton(box, button);
    };
}

static std::function<void()> pendingAction;

static void CALLBACK runPendingAction(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::function<void()> action = std::move(pendingAction);
    action();
}

// Runs an action from the modal loop once the messages queued before it have been handled
// (a timer fires only when nothing else is queued).
static void afterQueuedMessages(std::function<void()> action) {
    pendingAction = std::move(action);
    SetTimer(nullptr, 0, 100, runPendingAction);
}

static const char* const ERROR_TEXT = "Error while exporting file.\nPlease retry.";

class Export : public DialogTest {
  protected:
    std::string destination(const std::string& name) const { return folder + "\\" + name; }
    std::vector<SaveAsSeen> saveAsSeen;
};

TEST_F(Export, TickedPagesArePromptedAndSavedInPageOrder) {
    writePageBytes(0, "first page\r\n");
    writePageBytes(3, "fourth\r\npage");
    start();
    setPageName(3, "Ideas");
    std::vector<std::string> boxTexts;
    int checkedAtStart = 0;
    bool focusOnExport = false;
    HWND exportDialog = nullptr;
    driver.then([&](HWND dialog) {
        for (int page = 0; page < 5; ++page) {
            boxTexts.push_back(windowText(GetDlgItem(dialog, IDC_EXPORT_PAGE0 + page)));
            checkedAtStart += IsDlgButtonChecked(dialog, IDC_EXPORT_PAGE0 + page);
        }
        focusOnExport = GetFocus() == GetDlgItem(dialog, IDC_EXPORT_EXPORT);
        tickAndExport({0, 3}, &exportDialog)(dialog);
    });
    BoxSeen prompt;
    driver.then(noteBox(prompt, IDOK));
    driver.then(saveAs(saveAsSeen, destination("one.txt")));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("two.txt")));

    EXPECT_EQ(openExportDialog(mainWindow), 0);
    EXPECT_EQ(boxTexts,
              (std::vector<std::string>{"Page 1", "Page 2", "Page 3", "Ideas", "Page 5"}));
    EXPECT_EQ(checkedAtStart, 0);
    EXPECT_TRUE(focusOnExport);
    ASSERT_EQ(driver.seenTexts.size(), 5u);
    EXPECT_EQ(driver.seenCaptions[0], "Export...");
    EXPECT_EQ(driver.seenTexts[1], "Choose a path where you want to export your Page 1 notes...");
    EXPECT_EQ(driver.seenCaptions[1], "Jotty Notes");
    EXPECT_EQ(prompt.owner, exportDialog);
    EXPECT_EQ(prompt.icons, std::vector<HICON>{LoadIconA(nullptr, IDI_ASTERISK)});
    EXPECT_EQ(driver.seenTexts[3], "Choose a path where you want to export your Ideas notes...");
    ASSERT_EQ(saveAsSeen.size(), 2u);
    EXPECT_EQ(saveAsSeen[0].proposedName, "Page 1.txt");
    EXPECT_EQ(saveAsSeen[1].proposedName, "Ideas.txt");
    EXPECT_EQ(saveAsSeen[0].owner, exportDialog);
    EXPECT_EQ(readFileBytes(destination("one.txt")), "first page\r\n");
    EXPECT_EQ(readFileBytes(destination("two.txt")), "fourth\r\npage");
}

TEST_F(Export, NothingTickedSaysSoAndKeepsTheDialogOpen) {
    start();
    HWND exportDialog = nullptr;
    bool openAfterTheMessage = false;
    driver.then(tickAndExport({}, &exportDialog));
    BoxSeen message;
    driver.then([&](HWND box) {
        noteBox(message, IDOK)(box);
        afterQueuedMessages([&] {
            openAfterTheMessage = IsWindowVisible(exportDialog);
            pressButton(exportDialog, IDC_EXPORT_CANCEL);
        });
    });
    EXPECT_EQ(openExportDialog(mainWindow), IDC_EXPORT_CANCEL) << "only Cancel ended the dialog";
    ASSERT_EQ(driver.seenTexts.size(), 2u);
    EXPECT_EQ(driver.seenTexts[1], "Please select one page to export at least.");
    EXPECT_EQ(driver.seenCaptions[1], "Jotty Notes");
    EXPECT_EQ(message.owner, exportDialog);
    EXPECT_EQ(message.icons, std::vector<HICON>{LoadIconA(nullptr, IDI_ASTERISK)});
    EXPECT_TRUE(openAfterTheMessage);
}

TEST_F(Export, CancelledSaveAsSkipsOnlyThatPage) {
    writePageBytes(1, "second");
    writePageBytes(2, "third");
    start();
    HWND exportDialog = nullptr;
    bool firstUntickedBeforeSecond = false;
    driver.then(tickAndExport({1, 2}, &exportDialog));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, ""));
    driver.then([&](HWND box) {
        firstUntickedBeforeSecond = !IsDlgButtonChecked(exportDialog, IDC_EXPORT_PAGE0 + 1) &&
                                    IsDlgButtonChecked(exportDialog, IDC_EXPORT_PAGE0 + 2);
        pressButton(box, IDOK);
    });
    driver.then(saveAs(saveAsSeen, destination("third.txt")));
    EXPECT_EQ(openExportDialog(mainWindow), 0);
    EXPECT_EQ(driver.seenTexts.size(), 5u) << "no error box for a cancelled page";
    EXPECT_TRUE(firstUntickedBeforeSecond);
    EXPECT_EQ(readFileBytes(destination("third.txt")), "third");
    EXPECT_FALSE(fileExists(destination("Page 2.txt")));
}

TEST_F(Export, CancellingEverySaveAsStillClosesTheDialogOverPreferences) {
    start();
    HWND preferences = nullptr;
    HWND exportDialog = nullptr;
    HWND exportOwner = nullptr;
    bool exportClosed = false;
    driver.then([&](HWND dialog) {
        preferences = dialog;
        pressButton(dialog, IDC_PREF_EXPORT);
    });
    driver.then([&](HWND dialog) {
        exportOwner = GetWindow(dialog, GW_OWNER);
        tickAndExport({0, 4}, &exportDialog)(dialog);
    });
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, ""));
    driver.then(answer(IDOK));
    driver.then([&](HWND dialog) {
        saveAs(saveAsSeen, "")(dialog);
        afterQueuedMessages([&] {
            exportClosed = !IsWindow(exportDialog) && IsWindowVisible(preferences);
            pressButton(preferences, IDC_PREF_CANCEL);
        });
    });
    command(IDM_PREFERENCES);
    EXPECT_EQ(driver.seenCaptions.at(1), "Export...");
    EXPECT_EQ(exportOwner, preferences);
    EXPECT_EQ(driver.seenTexts.size(), 6u);
    ASSERT_EQ(saveAsSeen.size(), 2u);
    EXPECT_EQ(saveAsSeen[1].proposedName, "Page 5.txt");
    EXPECT_TRUE(exportClosed) << "after the last page, back in Preferences";
}

TEST_F(Export, OtherPagesAreCopiedByteForByteAsTheyStandOnDisk) {
    const std::string bytes("a\r\nb\xe9\0tail\r\n\r\n", 14);
    writePageBytes(2, bytes);
    start();
    typeText("not saved yet");
    std::string pageZeroOnDisk = readFileBytes(pageFile(0));
    driver.then(tickAndExport({2}));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("copy.txt")));
    openExportDialog(mainWindow);
    EXPECT_EQ(readFileBytes(destination("copy.txt")), bytes);
    EXPECT_EQ(readFileBytes(pageFile(2)), bytes);
    EXPECT_EQ(readFileBytes(pageFile(0)), pageZeroOnDisk) << "the current page was not exported";
    EXPECT_EQ(tabCaption(0), "Page 1*");
}

TEST_F(Export, CurrentPageIsSavedBeforeItIsCopied) {
    start();
    clickTab(2);
    typeText("typed just now");
    driver.then(saveAs(saveAsSeen, destination("menu.txt")));
    driver.then(tickAndExport({2}));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("ticked.txt")));

    SendMessageA(noteEditor, WM_COMMAND, IDM_EXPORTPAGE, 0);
    EXPECT_EQ(driver.seenTexts.size(), 1u) << "straight to the Save As dialog";
    ASSERT_EQ(saveAsSeen.size(), 1u);
    EXPECT_EQ(saveAsSeen[0].proposedName, "Page 3.txt");
    EXPECT_EQ(saveAsSeen[0].owner, mainWindow);
    EXPECT_EQ(readFileBytes(destination("menu.txt")), "typed just now");
    EXPECT_EQ(readFileBytes(pageFile(2)), "typed just now");
    EXPECT_EQ(tabCaption(2), "Page 3");

    typeText(", and more");
    openExportDialog(mainWindow);
    EXPECT_EQ(readFileBytes(destination("ticked.txt")), "typed just now, and more");
}

TEST_F(Export, CurrentPageThatCannotBeSavedIsNotExported) {
    start();
    typeText("saved");
    command(IDM_SAVEPAGE);
    typeText(" but not this");
    LOCK_OR_SKIP(pageFile(0));
    BoxSeen error;
    error.owner = mainWindow;
    driver.then(saveAs(saveAsSeen, destination("stale.txt")));
    driver.then(noteBox(error, IDOK));
    SendMessageA(noteEditor, WM_COMMAND, IDM_EXPORTPAGE, 0);
    unlockFile(pageFile(0));
    ASSERT_EQ(driver.seenTexts.size(), 2u);
    EXPECT_EQ(driver.seenTexts[1], ERROR_TEXT);
    EXPECT_EQ(driver.seenCaptions[1], "Jotty Notes");
    EXPECT_EQ(error.owner, nullptr);
    EXPECT_EQ(error.icons, std::vector<HICON>{LoadIconA(nullptr, IDI_HAND)});
    EXPECT_FALSE(fileExists(destination("stale.txt")));
    EXPECT_EQ(readFileBytes(pageFile(0)), "saved");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_EQ(editorText(), "saved but not this");
}

TEST_F(Export, ExistingFileIsReplacedAfterTheOverwriteQuestion) {
    writePageBytes(1, "short");
    start();
    writeFileBytes(destination("old.txt"), "an older and much longer file");
    BoxSeen question;
    driver.then(tickAndExport({1}));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("old.txt")));
    driver.then(noteBox(question, IDYES));
    openExportDialog(mainWindow);
    ASSERT_EQ(driver.seenTexts.size(), 4u);
    EXPECT_NE(driver.seenTexts[3].find("replace"), std::string::npos) << driver.seenTexts[3];
    EXPECT_NE(question.owner, nullptr) << "asked by the Save As dialog";
    EXPECT_EQ(readFileBytes(destination("old.txt")), "short");
}

TEST_F(Export, MissingPageFileGivesTheErrorBoxAndTheNextPageStillGoes) {
    writePageBytes(2, "third");
    start();
    BoxSeen error;
    error.owner = mainWindow;
    driver.then(tickAndExport({1, 2}));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("missing.txt")));
    driver.then(noteBox(error, IDOK));
    driver.then(answer(IDOK));
    driver.then(saveAs(saveAsSeen, destination("third.txt")));
    EXPECT_EQ(openExportDialog(mainWindow), 0);
    ASSERT_EQ(driver.seenTexts.size(), 6u);
    EXPECT_EQ(driver.seenTexts[3], ERROR_TEXT);
    EXPECT_EQ(driver.seenCaptions[3], "Jotty Notes");
    EXPECT_EQ(error.owner, nullptr);
    EXPECT_EQ(error.icons, std::vector<HICON>{LoadIconA(nullptr, IDI_HAND)});
    EXPECT_FALSE(fileExists(destination("missing.txt")));
    EXPECT_EQ(readFileBytes(destination("third.txt")), "third");
}

TEST_F(Export, SaveAsOffersTextFilesAndAddsTheirExtension) {
    start();
    typeText("plain");
    std::string typeList;
    int typeCount = 0;
    bool readOnlyBoxShown = true;
    driver.then([&](HWND dialog) {
        HWND types = GetDlgItem(dialog, cmb1);
        typeCount = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
        typeList = windowText(types);
        readOnlyBoxShown = IsWindowVisible(GetDlgItem(dialog, chx1));
        saveAs(saveAsSeen, destination("plain"))(dialog);
    });
    exportPageAs(mainWindow, 0);
    EXPECT_EQ(driver.seenCaptions.at(0), "Save As");
    EXPECT_EQ(typeCount, 1);
    EXPECT_EQ(typeList, "Text Files (*.txt)");
    EXPECT_FALSE(readOnlyBoxShown);
    EXPECT_EQ(readFileBytes(destination("plain.txt")), "plain");
}

using About = DialogTest;

TEST_F(About, ShowsTheShippedVersionAndIgnoresEscape) {
    start();
    std::string text;
    bool focusOnOk = false;
    bool smallIcon = false;
    bool openAfterEscape = false;
    HWND owner = nullptr;
    driver.then([&](HWND dialog) {
        text = windowText(GetDlgItem(dialog, IDC_ABOUT_TEXT));
        HWND ok = GetDlgItem(dialog, IDC_ABOUT_OK);
        focusOnOk = GetFocus() == ok;
        smallIcon = SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0) != 0;
        owner = GetWindow(dialog, GW_OWNER);
        PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
        afterQueuedMessages([&openAfterEscape, dialog] {
            openAfterEscape = IsWindowVisible(dialog);
            pressButton(dialog, IDC_ABOUT_OK);
        });
    });
    EXPECT_EQ(showAboutDialog(mainWindow), IDC_ABOUT_OK) << "ended by OK";
    EXPECT_EQ(driver.seenCaptions.at(0), "About Jotty Notes");
    EXPECT_EQ(text, "Jotty Notes Version  1.0.1  \n\nVisit us at: www.kestrova.net/jottynotes");
    EXPECT_TRUE(focusOnOk);
    EXPECT_TRUE(smallIcon);
    EXPECT_EQ(owner, mainWindow);
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(About, FromTheTrayItOpensCentredOverTheHiddenWindowAndTheCloseBoxEndsIt) {
    start("-minimize");
    ASSERT_FALSE(IsWindowVisible(mainWindow));
    HWND owner = nullptr;
    RECT box = {};
    driver.then([&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        GetWindowRect(dialog, &box);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    command(IDM_ABOUT);
    EXPECT_EQ(driver.seenCaptions.at(0), "About Jotty Notes");
    EXPECT_EQ(owner, mainWindow);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(box.left + box.right, work.left + work.right, 4);
    EXPECT_NEAR(box.top + box.bottom, work.top + work.bottom, 4);
}

TEST(AboutText, VersionTakesThePlaceOfTheFirstDollar) {
    const struct {
        const char* aboutTemplate;
        const char* expected;
    } cases[] = {
        {"Jotty Notes Version $\n\nVisit us", "Jotty Notes Version  1.0.1  \n\nVisit us"},
        {"No marker", "No marker 1.0.1  "},
        {"A $ B $ C", "A  1.0.1   B $ C"},
        {"$", " 1.0.1  "},
        {"", " 1.0.1  "},
    };
    for (const auto& c : cases) {
        char text[ABOUT_TEXT_SIZE];
        composeAboutText(c.aboutTemplate, "1.0.1 ", text);
        EXPECT_STREQ(text, c.expected) << c.aboutTemplate;
    }
}

using VersionText = DialogTest;

TEST_F(VersionText, IsTheProductVersionOfTheExecutable) {
    char text[VERSION_TEXT_SIZE];
    EXPECT_STREQ(getVersionText((executableFolder() + "\\jnotes.exe").c_str(), text), "1.0.1 ");
}

TEST_F(VersionText, MissingVersionShowsBothBoxesAndGivesAnEmptyText) {
    std::vector<HWND> owners;
    for (int box = 0; box < 2; ++box)
        driver.then([&owners](HWND dialog) {
            owners.push_back(GetWindow(dialog, GW_OWNER));
            pressButton(dialog, IDOK);
        });
    char text[VERSION_TEXT_SIZE];
    memset(text, 'x', sizeof text);
    getVersionText((executableFolder() + "\\no such file.exe").c_str(), text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(driver.seenTexts, (std::vector<std::string>{"Could not retrive version info",
                                                          "Unknown error retriving version info"}));
    EXPECT_EQ(driver.seenCaptions, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(owners, (std::vector<HWND>{nullptr, nullptr}));
}

TEST_F(Export, DraggingTheFreeClientAreaMovesTheDialog) {
    start();
    RECT before = {};
    RECT after = {};
    bool freeSpot = false;
    driver.then([&](HWND dialog) {
        GetWindowRect(dialog, &before);
        RECT spot = {10, 90, 0, 0}; // left of the Export button, below the group box
        MapDialogRect(dialog, &spot);
        POINT at = {spot.left, spot.top};
        freeSpot = ChildWindowFromPoint(dialog, at) == dialog;
        ClientToScreen(dialog, &at);
        sendMouse(0, at);
        sendMouse(MOUSEEVENTF_LEFTDOWN, at);
        for (int step = 1; step <= 4; ++step)
            sendMouse(0, POINT{at.x + 10 * step, at.y + 8 * step});
        sendMouse(MOUSEEVENTF_LEFTUP, POINT{at.x + 40, at.y + 32});
        afterQueuedMessages([&after, dialog] {
            GetWindowRect(dialog, &after);
            pressButton(dialog, IDC_EXPORT_CANCEL);
        });
    });
    openExportDialog(mainWindow);
    EXPECT_TRUE(freeSpot);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 32);
}
