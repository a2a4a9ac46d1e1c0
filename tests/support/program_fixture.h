// A fresh copy of the program for each test: its own install folder, the start-up run up to
// the message loop, and a clean quit afterwards.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "res/resource.h"
#include "support/files.h"
#include "support/modal_driver.h"
#include "support/program_driver.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/modal.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"

// Pumps until the autosave's background write has ended and its outcome is taken in.
void waitForPageWrite();

// The Run value that every start writes or removes: the product's name.
const char* const STARTUP_VALUE = "Jotty Notes";
// The page names a settings file holds when it is new.
extern const std::vector<std::string> DEFAULT_PAGE_NAMES;
// The bytes of a settings file: start page, the two options and the five names, the rest zero.
std::string settingsBytes(int startPage = 0,
                          const std::vector<std::string>& names = DEFAULT_PAGE_NAMES,
                          bool autoStart = true, bool wordWrap = false);

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the start-up with the given command line in the install folder; a start that fails
    // ends the test.
    void start(const char* commandLine = "");
    // Quits when running, then starts afresh in the same install folder.
    void restart(const char* commandLine = "");
    int quit() { return quitProgram(); }
    bool running() const;

    std::string dataPath(const std::string& name) const;
    std::string pageFile(int page) const;
    std::string settingsFile() const;
    void writeSettingsBytes(const std::string& bytes) const;
    void writePageBytes(int page, const std::string& bytes) const;
    // Holds a file open, sharing only what is given, as a backup or sync program may, until
    // released or the test ends; false when it cannot be opened.
    bool holdFile(const std::string& path, DWORD sharing = 0);
    void releaseFile(const std::string& path);
    // Makes a file or folder immutable, so the program cannot replace it, until unlocked or the
    // test ends (Wine as root ignores read-only attributes); false when the file system cannot.
    bool lockFile(const std::string& path);
    void unlockFile(const std::string& path);

    std::string editorText() const;
    // Puts the whole text in the editor at once, as another program may set it.
    void setEditorText(const std::string& text) const;
    // Types as the user does: a change the editor reports to the main window.
    void typeText(const std::string& text) const;
    std::string tabCaption(int page) const;
    int selectedTab() const;
    // Selects a tab the way a click does, with the strip's change notification.
    void clickTab(int page) const;
    void command(int id) const;
    // A command of the window menu, as a click on its item sends it.
    void systemCommand(int id) const;
    // The autosave timer's tick, with its background write waited for and taken in.
    void autosave() const;

    std::string folder;

  private:
    std::map<std::string, HANDLE> heldFiles;
    std::set<std::string> lockedFiles;
};

// A dialog that no step closes (one more than expected, or one a step mistook for another)
// is ended by a watchdog, so that a fault fails the test instead of leaving it waiting.
class DialogTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        timedOut = false;
        watchdog = SetTimer(nullptr, 0, 20000, endStuckDialogs);
    }
    void TearDown() override {
        KillTimer(nullptr, watchdog);
        EXPECT_FALSE(timedOut) << "a dialog was left open with no step to close it";
        ProgramTest::TearDown();
    }
    ModalDriver driver;
    UINT_PTR watchdog = 0;
    static void CALLBACK endStuckDialogs(HWND, UINT, UINT_PTR, DWORD) {
        for (HWND dialog : shownWindows("#32770")) {
            timedOut = true;
            EndDialog(dialog, 0);
        }
    }
    static inline bool timedOut = false;
};

// Locks a file or folder for the test, or skips the test where the file system cannot.
#define LOCK_OR_SKIP(path)                                                                         \
    if (!lockFile(path))                                                                           \
    GTEST_SKIP() << "the file system cannot make " << (path) << " immutable here"
