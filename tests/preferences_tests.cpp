// The Preferences dialog and start with Windows: names, Clear, Help, word wrap and the Run
// values.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "platform/autostart.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "storage/settings.h"
#include "ui/main_window.h"

#include <cstring>

namespace {

const char* const CLEAR_QUESTION =
    "Jotty Notes will erase all your notes.\nDo you want to continue?";
const char* const ALL_ERASED = "All your notes have been erased!";

std::string itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// A mouse click on a button or check box; the dialog has handled it when this returns.
void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void setName(HWND dialog, int page, const char* name) {
    SetDlgItemTextA(dialog, IDC_PREF_NAME0 + page, name);
}

bool showsIcon(HWND box, const char* systemIcon) {
    return shownIcons(box) == std::vector<HICON>{LoadIconA(nullptr, systemIcon)};
}

std::string launchCommandFor(const std::string& installFolder) {
    return "\"" + installFolder + "\\jnotes.exe\" -minimize" + '\0';
}

std::string runValue(HKEY root, const char* name) {
    bool found = false;
    std::string data = readRegistryString(root, RUN_KEY_PATH, name, &found);
    return found ? data : "(none)";
}

class Preferences : public ProgramTest {
  protected:
    // Opens the dialog as the tray menu does; the driver's steps run inside its modal loop.
    void openFromTray() const { command(IDM_PREFERENCES); }
    void writePages() const {
        for (int page = 0; page < PAGE_COUNT; ++page)
            writePageBytes(page, "notes of page " + std::to_string(page));
    }
};

// Wine does not enforce registry rights; without the key a write under it fails for real.
// The user's Run key goes too, as a fresh profile may not have one.
struct MachineRunKeyRemoved {
    MachineRunKeyRemoved() {
        RegDeleteKeyA(HKEY_CURRENT_USER, RUN_KEY_PATH);
        removed = RegDeleteKeyA(HKEY_LOCAL_MACHINE, RUN_KEY_PATH) == ERROR_SUCCESS;
    }
    ~MachineRunKeyRemoved() {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    bool removed;
};

} // namespace

TEST_F(Preferences, OpensWithTheStoredSettings) {
    start();
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        for (int page = 0; page < PAGE_COUNT; ++page)
            EXPECT_EQ(itemText(dialog, IDC_PREF_NAME0 + page), settings.pageNames[page]);
        EXPECT_FALSE(checked(dialog, IDC_PREF_WORDWRAP));
        EXPECT_TRUE(checked(dialog, IDC_PREF_AUTOSTART));
        EXPECT_FALSE(enabled(dialog, IDC_PREF_APPLY));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PREF_NAME0));
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow);
        EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
        std::vector<HICON> icons = shownIcons(dialog);
        EXPECT_EQ(icons.size(), 3u);
        for (HICON icon : icons)
            EXPECT_NE(icon, nullptr);
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    driver.then([&](HWND dialog) {
        EXPECT_TRUE(checked(dialog, IDC_PREF_WORDWRAP));
        EXPECT_FALSE(checked(dialog, IDC_PREF_AUTOSTART));
        EXPECT_FALSE(enabled(dialog, IDC_PREF_APPLY));
        SendMessageA(GetDlgItem(dialog, IDC_PREF_NAME0 + 3), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>("x"));
        EXPECT_TRUE(enabled(dialog, IDC_PREF_APPLY)) << "typing in a name";
        click(dialog, IDC_PREF_APPLY);
        EXPECT_FALSE(enabled(dialog, IDC_PREF_APPLY)) << "Apply disables itself";
        EXPECT_NE(GetFocus(), GetDlgItem(dialog, IDC_PREF_APPLY));
        EXPECT_TRUE(IsChild(dialog, GetFocus())) << "the keyboard still has a control";
        click(dialog, IDC_PREF_AUTOSTART);
        EXPECT_TRUE(enabled(dialog, IDC_PREF_APPLY)) << "a click on a check box";
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    openFromTray();
    setWordWrap(true);
    setAutoStart(false);
    openFromTray();
    EXPECT_EQ(driver.pendingSteps(), 0u);
    EXPECT_EQ(driver.seenCaptions, std::vector<std::string>(2, "Preferences..."));
}

TEST_F(Preferences, OpensAtStartOverTheHiddenWindow) {
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow);
        EXPECT_FALSE(IsWindowVisible(mainWindow));
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    start("-preferences -minimize");
    EXPECT_EQ(driver.seenCaptions, std::vector<std::string>{"Preferences..."});
}

TEST_F(Preferences, RenamesTabsAndTheNamesSurviveARestart) {
    start();
    typeText("unsaved");
    std::string longName(25, 'n');
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        setName(dialog, 0, "Today");
        setName(dialog, 1, "");
        setName(dialog, 2, "Ideas");
        setName(dialog, 3, longName.c_str());
        setName(dialog, 4, "Ideas");
        click(dialog, IDC_PREF_APPLY);
        EXPECT_EQ(tabCaption(2), "Ideas") << "at once, on Apply";
        EXPECT_EQ(tabCaption(0), "Today") << "the new name shows without the marker";
        EXPECT_TRUE(pageUnsaved()) << "the text is still unsaved";
        EXPECT_EQ(tabCaption(1), "Page 2");
        EXPECT_EQ(itemText(dialog, IDC_PREF_NAME0 + 1), "Page 2") << "an emptied name is put back";
        EXPECT_EQ(itemText(dialog, IDC_PREF_NAME0 + 3), longName);
        EXPECT_FALSE(enabled(dialog, IDC_PREF_APPLY));
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    openFromTray();
    EXPECT_EQ(tabCaption(0), "Today") << "the tray menu saves the page after the dialog";
    EXPECT_EQ(tabCaption(3), longName.substr(0, 19));
    EXPECT_EQ(tabCaption(4), "Ideas");
    EXPECT_EQ(readFileBytes(settingsFile()).substr(4, 20),
              std::string("Today") + std::string(15, '\0'));
    restart();
    const char* expected[] = {"Today", "Page 2", "Ideas", "nnnnnnnnnnnnnnnnnnn", "Ideas"};
    for (int page = 0; page < PAGE_COUNT; ++page)
        EXPECT_EQ(tabCaption(page), expected[page]);
}

TEST_F(Preferences, ClearAskedFirstErasesEveryPage) {
    writePages();
    start();
    clickTab(2);
    typeText(" and more");
    ASSERT_EQ(tabCaption(2), "Page 3*");
    HWND preferences = nullptr;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        preferences = dialog;
        pressButton(dialog, IDC_PREF_CLEAR);
    });
    driver.then([&](HWND box) {
        EXPECT_TRUE(showsIcon(box, IDI_WARNING));
        pressButton(box, IDNO);
        pressButton(preferences, IDC_PREF_CLEAR);
    });
    driver.then([&](HWND box) {
        EXPECT_EQ(readFileBytes(pageFile(4)), "notes of page 4") << "No changes nothing";
        EXPECT_EQ(editorText(), "notes of page 2 and more");
        pressButton(box, IDYES);
    });
    driver.then([&](HWND box) {
        EXPECT_TRUE(showsIcon(box, IDI_INFORMATION));
        pressButton(box, IDOK);
        pressButton(preferences, IDC_PREF_CANCEL);
    });
    openFromTray();
    EXPECT_EQ(std::vector<std::string>(driver.seenTexts.begin() + 1, driver.seenTexts.end()),
              (std::vector<std::string>{CLEAR_QUESTION, CLEAR_QUESTION, ALL_ERASED}));
    for (int page = 0; page < PAGE_COUNT; ++page) {
        EXPECT_TRUE(fileExists(pageFile(page)));
        EXPECT_EQ(readFileBytes(pageFile(page)), "") << "page " << page;
        EXPECT_EQ(tabCaption(page), settings.pageNames[page]);
    }
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(currentPage, 2);
    std::vector<PageVersion> versions = listPageVersions(2);
    ASSERT_FALSE(versions.empty());
    EXPECT_EQ(readFileBytes(versions[0].path), "notes of page 2 and more") << "typing saved first";
}

TEST_F(Preferences, ClearNamesThePagesItCouldNotErase) {
    writePages();
    LOCK_OR_SKIP(pageFile(1));
    LOCK_OR_SKIP(pageFile(3));
    start();
    clickTab(1);
    typeText(" typed");
    ModalDriver driver;
    driver.then([&](HWND dialog) { pressButton(dialog, IDC_PREF_CLEAR); });
    driver.then(answer(IDYES));
    driver.then([&](HWND box) {
        EXPECT_TRUE(showsIcon(box, IDI_WARNING));
        pressButton(box, IDOK);
        pressButton(GetWindow(box, GW_OWNER), IDC_PREF_OK);
    });
    openFromTray();
    ASSERT_EQ(driver.seenTexts.size(), 3u);
    EXPECT_EQ(driver.seenTexts[2], "These pages could not be erased: Page 2, Page 4.");
    EXPECT_EQ(readFileBytes(pageFile(1)), "notes of page 1");
    EXPECT_EQ(readFileBytes(pageFile(3)), "notes of page 3");
    EXPECT_EQ(readFileBytes(pageFile(0)), "");
    EXPECT_EQ(readFileBytes(pageFile(4)), "");
    EXPECT_EQ(editorText(), "notes of page 1 typed") << "the page shown keeps its text, typing too";
    EXPECT_EQ(tabCaption(1), "Page 2*");
    unlockFile(pageFile(1));
    typeText(" and more");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(1)), "notes of page 1 typed and more");
}

TEST_F(Preferences, ClearDoesNotClaimAPageThatCouldNotBeRead) {
    writePages();
    {
        // Held open without sharing, no page can be read at start.
        ModalDriver warnings;
        for (int page = 0; page < PAGE_COUNT; ++page) {
            ASSERT_TRUE(holdFile(pageFile(page)));
            warnings.then(answer(IDOK));
        }
        start();
    }
    for (int page = 0; page < PAGE_COUNT; ++page)
        releaseFile(pageFile(page));
    ASSERT_FALSE(currentPageRead);
    ModalDriver driver;
    driver.then([&](HWND dialog) { pressButton(dialog, IDC_PREF_CLEAR); });
    driver.then(answer(IDYES));
    driver.then([&](HWND box) {
        pressButton(box, IDOK);
        pressButton(GetWindow(box, GW_OWNER), IDC_PREF_CANCEL);
    });
    openFromTray();
    ASSERT_EQ(driver.seenTexts.size(), 3u);
    EXPECT_EQ(driver.seenTexts[2], "These pages could not be erased: Page 1.");
    EXPECT_EQ(readFileBytes(pageFile(0)), "notes of page 0");
    EXPECT_EQ(readFileBytes(pageFile(1)), "");
}

TEST_F(Preferences, OkWithoutChangesWritesTheSettingsAndTheRunValue) {
    std::string installed = folder + "\\Program Files\\Jotty Notes";
    CreateDirectoryA((folder + "\\Program Files").c_str(), nullptr);
    CreateDirectoryA(installed.c_str(), nullptr);
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     installed + '\0');
    start();
    ASSERT_STREQ(installFolder, installed.c_str());
    std::string settingsPath = installed + "\\Data\\Settings.dat";
    DeleteFileA(settingsPath.c_str());
    ModalDriver driver;
    driver.then([&](HWND dialog) { click(dialog, IDC_PREF_OK); });
    openFromTray();
    EXPECT_EQ(readFileBytes(settingsPath),
              std::string(reinterpret_cast<const char*>(&settings), sizeof settings));
    std::string expected = launchCommandFor(installed);
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), expected);
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, STARTUP_VALUE), expected);
    EXPECT_EQ(runValue(HKEY_CURRENT_USER, PREFERENCES_RUN_VALUE), "(none)");

    driver.then([&](HWND dialog) {
        click(dialog, IDC_PREF_AUTOSTART);
        click(dialog, IDC_PREF_OK);
    });
    openFromTray();
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), "(none)") << "removed at once";
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, STARTUP_VALUE), expected) << "until the next start";
    EXPECT_EQ(readFileBytes(settingsPath)[2], '\0');

    setRegistryValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, PREFERENCES_RUN_VALUE, REG_SZ, "stale");
    driver.then([&](HWND dialog) { click(dialog, IDC_PREF_OK); });
    openFromTray();
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), "(none)") << "deleted again";
}

TEST_F(Preferences, WordWrapAppliedThenCancelledRecreatesTheEditorAfterwards) {
    start();
    typeText("a line of notes");
    HWND editor = noteEditor;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        click(dialog, IDC_PREF_WORDWRAP);
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    openFromTray();
    EXPECT_EQ(settings.wordWrap, 0);
    EXPECT_EQ(noteEditor, editor) << "Cancel leaves the editor";

    driver.then([&](HWND dialog) {
        click(dialog, IDC_PREF_WORDWRAP);
        click(dialog, IDC_PREF_APPLY);
        EXPECT_EQ(settings.wordWrap, 1);
        EXPECT_EQ(readFileBytes(settingsFile())[3], '\1');
        EXPECT_EQ(noteEditor, editor) << "not while the dialog is open";
        pressButton(dialog, IDC_PREF_CANCEL);
    });
    openFromTray();
    EXPECT_NE(noteEditor, editor);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(GetWindowLongA(noteEditor, GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL), 0);
    EXPECT_EQ(editorText(), "a line of notes");
}

TEST_F(Preferences, FromTheEditorMenuTheEditorItCameFromMayBeRecreated) {
    start();
    typeText("typed");
    HWND editor = noteEditor;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), mainWindow);
        click(dialog, IDC_PREF_WORDWRAP);
        click(dialog, IDC_PREF_OK);
    });
    SendMessageA(editor, WM_COMMAND, IDM_PREFERENCES, 0);
    EXPECT_EQ(driver.seenCaptions, std::vector<std::string>{"Preferences..."});
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(editorText(), "typed");
    EXPECT_EQ(tabCaption(0), "Page 1*") << "the editor menu does not save the page";
}

// A choice that could not be stored is not taken for done: the user is told why, and the dialog
// stays open with what was typed.
TEST_F(Preferences, OkThatCannotStoreTheSettingsSaysSoAndKeepsTheDialog) {
    start();
    std::string stored = readFileBytes(settingsFile());
    LOCK_OR_SKIP(settingsFile());
    std::string message, nameKept;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        setName(dialog, 0, "Today");
        click(dialog, IDC_PREF_OK);
    });
    driver.then([&](HWND box) {
        message = messageBoxText(box);
        HWND preferences = GetWindow(box, GW_OWNER);
        nameKept = itemText(preferences, IDC_PREF_NAME0);
        pressButton(box, IDOK);
        pressButton(preferences, IDC_PREF_CANCEL);
    });
    openFromTray();
    EXPECT_NE(message.find("The settings could not be saved"), std::string::npos);
    EXPECT_EQ(nameKept, "Today");
    EXPECT_EQ(driver.pendingSteps(), 0u) << "the dialog stayed open until Cancel";
    unlockFile(settingsFile());
    EXPECT_EQ(readFileBytes(settingsFile()), stored);
}

TEST_F(Preferences, EscIsIgnoredAndTheCloseBoxAppliesNothing) {
    start();
    std::string settingsBefore = readFileBytes(settingsFile());
    HWND preferences = nullptr;
    ModalDriver driver;
    driver.then([&](HWND dialog) {
        preferences = dialog;
        setName(dialog, 0, "Changed");
        click(dialog, IDC_PREF_WORDWRAP);
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
        // The help box shows only if the dialog is still there after the Esc key.
        pressButton(dialog, IDC_PREF_HELP);
    });
    driver.then([&](HWND box) {
        EXPECT_TRUE(showsIcon(box, IDI_INFORMATION));
        pressButton(box, IDOK);
        PostMessageA(preferences, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    openFromTray();
    ASSERT_EQ(driver.seenTexts.size(), 2u);
    EXPECT_EQ(driver.seenTexts[1],
              "The Auto-Saving features saves your notes each 30 seconds or\nwhen the Jotty Notes "
              "is minimized to the System Tray. You\ncan use some keyboard shortcut:\n\n1. "
              "Ctrl-T: Insert Current Time & Date\n2. Ctrl-L: Insert a Line\n3. Ctrl-S: Manual "
              "Save of the current page");
    EXPECT_FALSE(IsWindow(preferences));
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_EQ(settings.wordWrap, 0);
    EXPECT_EQ(readFileBytes(settingsFile()), settingsBefore);
}

TEST_F(Preferences, RunValuesFallBackToTheUserWithoutMachineRights) {
    std::string expected = launchCommandFor(folder);
    {
        MachineRunKeyRemoved noMachineKey;
        ASSERT_TRUE(noMachineKey.removed);
        start();
        EXPECT_EQ(runValue(HKEY_CURRENT_USER, STARTUP_VALUE), expected);
        ModalDriver driver;
        driver.then([&](HWND dialog) { click(dialog, IDC_PREF_OK); });
        openFromTray();
        EXPECT_EQ(runValue(HKEY_CURRENT_USER, PREFERENCES_RUN_VALUE), expected);
        EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), "(none)");
    }
    ModalDriver driver;
    driver.then([&](HWND dialog) { click(dialog, IDC_PREF_OK); });
    openFromTray();
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), expected);
    EXPECT_EQ(runValue(HKEY_CURRENT_USER, PREFERENCES_RUN_VALUE), "(none)")
        << "with the rights, no second value is left to start a second copy";

    setRegistryValue(HKEY_CURRENT_USER, RUN_KEY_PATH, PREFERENCES_RUN_VALUE, REG_SZ, expected);
    driver.then([&](HWND dialog) {
        click(dialog, IDC_PREF_AUTOSTART);
        click(dialog, IDC_PREF_OK);
    });
    openFromTray();
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, PREFERENCES_RUN_VALUE), "(none)");
    EXPECT_EQ(runValue(HKEY_CURRENT_USER, PREFERENCES_RUN_VALUE), "(none)");
    restart();
    EXPECT_EQ(runValue(HKEY_CURRENT_USER, STARTUP_VALUE), "(none)");
    EXPECT_EQ(runValue(HKEY_LOCAL_MACHINE, STARTUP_VALUE), "(none)");
}
