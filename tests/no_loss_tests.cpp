// When a save or a load fails, the notes stay where they are and no failure passes for success.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/autostart.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

using NoLoss = ProgramTest;

// Five page names of the user's, and their 100 bytes in a settings file.
static const std::vector<std::string> USER_NAMES = {"Work", "Home", "Ideas", "Shop", "Misc"};
static const std::string NAMES = settingsBytes(0, USER_NAMES).substr(4, 100);

TEST_F(NoLoss, FailedSaveOnATabSwitchKeepsThePage) {
    start();
    typeText("first words");
    command(IDM_SAVEPAGE);
    typeText(" and more");
    LOCK_OR_SKIP(pageFile(0));
    clickTab(2);
    EXPECT_EQ(currentPage, 0);
    EXPECT_EQ(selectedTab(), 0);
    EXPECT_EQ(editorText(), "first words and more");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_EQ(readFileBytes(settingsFile()).substr(0, 2), std::string("\0\0", 2));
    EXPECT_EQ(readFileBytes(pageFile(0)), "first words");

    unlockFile(pageFile(0));
    clickTab(2);
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(readFileBytes(pageFile(0)), "first words and more");
}

TEST_F(NoLoss, QuitWithAnUnwritablePageAsksFirst) {
    start();
    typeText("precious");
    LOCK_OR_SKIP(pageFile(0));
    {
        ModalDriver driver;
        driver.then(answer(IDNO));
        command(IDM_EXIT);
        ASSERT_EQ(driver.seenTexts.size(), 1u);
        EXPECT_NE(driver.seenTexts[0].find("could not be saved"), std::string::npos);
        EXPECT_EQ(driver.seenCaptions[0], "Jotty Notes");
    }
    ASSERT_TRUE(IsWindow(mainWindow)) << "No keeps the program running";
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_EQ(editorText(), "precious");
    EXPECT_FALSE(quitRequested);

    ModalDriver driver;
    driver.then(answer(IDYES));
    SendMessageA(noteEditor, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(driver.seenTexts.size(), 1u) << "Shutdown asks the same way";
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(runToExit(), 0);
}

TEST_F(NoLoss, QuitAfterASuccessfulSaveAsksNothing) {
    start();
    typeText("fine");
    ModalDriver driver;
    driver.then(answer(IDNO));
    EXPECT_EQ(quit(), 0);
    EXPECT_TRUE(driver.seenTexts.empty());
    EXPECT_EQ(readFileBytes(pageFile(0)), "fine");
}

TEST_F(NoLoss, UnreadablePageIsNotShownAndNotWrittenOver) {
    writePageBytes(3, "notes on page four");
    start();
    typeText("page one");
    ASSERT_TRUE(holdFile(pageFile(3)));
    ModalDriver driver;
    driver.then(answer(IDOK));
    clickTab(3);
    ASSERT_EQ(driver.seenTexts.size(), 1u);
    EXPECT_NE(driver.seenTexts[0].find("\"Page 4\" could not be read"), std::string::npos);
    EXPECT_EQ(currentPage, 0);
    EXPECT_EQ(selectedTab(), 0);
    EXPECT_EQ(editorText(), "page one");
    // With the hold ended, only the program keeps the page's file from being written.
    releaseFile(pageFile(3));
    autosave();
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(3)), "notes on page four");
    clickTab(3);
    EXPECT_EQ(editorText(), "notes on page four") << "the switch works once the hold ends";
}

// The hold ends while the warning is up: from then on only the program keeps the unread start
// page from being written over, by the switch to a readable page or by a save. That page is
// shown for this run only: the start page stays the user's.
TEST_F(NoLoss, UnreadableStartPageIsLeftAloneAndAReadableOneShown) {
    const struct {
        int startPage;
        int shown;
        const char* text;
    } cases[] = {{0, 1, "zero"}, {2, 0, "two"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startPage);
        if (running())
            quit();
        writePageBytes(0, "zero");
        writePageBytes(2, "two");
        writeSettingsBytes(settingsBytes(c.startPage, USER_NAMES));
        ASSERT_TRUE(holdFile(pageFile(c.startPage)));
        ModalDriver driver;
        driver.then([&](HWND box) {
            releaseFile(pageFile(c.startPage));
            pressButton(box, IDOK);
        });
        restart();
        EXPECT_EQ(driver.seenTexts.size(), 1u);
        EXPECT_EQ(currentPage, c.shown);
        EXPECT_EQ(selectedTab(), c.shown);
        autosave();
        command(IDM_SAVEPAGE);
        EXPECT_EQ(readFileBytes(pageFile(c.startPage)), c.text);
        EXPECT_EQ(readFileBytes(settingsFile())[0], c.startPage);
        clickTab(c.startPage);
        EXPECT_EQ(editorText(), c.text);
    }
}

TEST_F(NoLoss, SessionEndWaitsForNotesThatCouldNotBeSaved) {
    start("-minimize");
    typeText("unsaved");
    LOCK_OR_SKIP(pageFile(0));
    EXPECT_EQ(SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_TRUE(IsWindowVisible(mainWindow)) << "the user sees what holds the session";
    SendMessageA(mainWindow, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(editorText(), "unsaved");

    unlockFile(pageFile(0));
    EXPECT_EQ(SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(mainWindow, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(running()) << "the end of the session ends the program";
    EXPECT_EQ(runToExit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(0)), "unsaved");
}

// When the program ends anyway while its page cannot be written, the text goes to a version of
// the page, or where even that fails, to a file in the user's Documents folder.
TEST_F(NoLoss, TextThatCannotBeSavedAtTheEndIsKeptElsewhere) {
    auto sessionEnds = [] {
        SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, 0);
        SendMessageA(mainWindow, WM_ENDSESSION, TRUE, 0);
    };
    const struct {
        const char* name;
        std::function<void()> end;
        bool historyLocked;
    } ends[] = {
        {"the end of the session", sessionEnds, false},
        {"a quit message from another program", [] { PostMessageA(mainWindow, WM_QUIT, 0, 0); },
         false},
        {"the end of the session with no versions", sessionEnds, true},
    };
    for (const std::string& file : rescuedFiles())
        DeleteFileA(file.c_str());
    for (const auto& end : ends) {
        SCOPED_TRACE(end.name);
        writePageBytes(0, "on disk");
        CreateDirectoryA(dataPath("History").c_str(), nullptr);
        start();
        typeText(", unsaved");
        LOCK_OR_SKIP(pageFile(0));
        if (end.historyLocked) {
            LOCK_OR_SKIP(dataPath("History"));
        }
        end.end();
        EXPECT_EQ(runToExit(), 0);
        EXPECT_FALSE(running());
        unlockFile(pageFile(0));
        unlockFile(dataPath("History"));
        EXPECT_EQ(readFileBytes(pageFile(0)), "on disk");
        std::string kept;
        if (end.historyLocked) {
            std::vector<std::string> rescued = rescuedFiles();
            ASSERT_EQ(rescued.size(), 1u);
            EXPECT_NE(rescued[0].find("Jotty Notes - Page 1 - "), std::string::npos);
            kept = readFileBytes(rescued[0]);
            DeleteFileA(rescued[0].c_str());
        } else {
            std::vector<PageVersion> versions = listPageVersions(0);
            ASSERT_FALSE(versions.empty());
            kept = readFileBytes(versions[0].path);
            EXPECT_STREQ(occasionNote(versions[0].occasion), "Not saved at the end");
        }
        EXPECT_EQ(kept, "on disk, unsaved");
        start();
        std::string told = trayBalloon.szInfo;
        EXPECT_NE(told.find(end.historyLocked ? "Documents" : "Previous Versions"),
                  std::string::npos)
            << "the next start tells where the text is: " << told;
        EXPECT_NE(told.find("\"Page 1\""), std::string::npos);
        restart();
        EXPECT_STREQ(trayBalloon.szInfo, "") << "once";
        quit();
        removeFolder(dataPath("History"));
    }
}

// A backup or sync program may hold the settings file while the program starts: the defaults
// stand in for it meanwhile, but they are never written over it nor into the Run values. The
// holder lets the file be replaced, so that only the program keeps it.
TEST_F(NoLoss, SettingsHeldAtStartAreNotWrittenOver) {
    std::string stored = settingsBytes(1, USER_NAMES, false);
    writeSettingsBytes(stored);
    const std::string runValue = std::string("as it was") + '\0';
    setRegistryValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes", REG_SZ, runValue);
    ASSERT_TRUE(holdFile(settingsFile(), FILE_SHARE_DELETE));
    start();
    EXPECT_EQ(tabCaption(0), "Page 1");
    clickTab(2);
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    command(IDM_OPEN);
    releaseFile(settingsFile());
    EXPECT_EQ(readFileBytes(settingsFile()), stored);
    EXPECT_EQ(readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes"), runValue);

    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    command(IDM_OPEN);
    EXPECT_EQ(tabCaption(0), "Work") << "the names are back once the file can be read";
    bool found = true;
    readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes", &found);
    EXPECT_FALSE(found) << "start with Windows is off in the file";
    clickTab(3);
    EXPECT_EQ(readFileBytes(settingsFile()), "\x03" + stored.substr(1));
}

// The autosave copies the text and leaves the file to a thread of its own; what happens in the
// program meanwhile must not pass for saved, nor be lost.
class BackgroundAutosave : public ProgramTest {
  protected:
    // A page large enough that its write is still under way when the next action comes.
    static std::string largeText(char letter) {
        std::string line(4000, letter);
        line += "\r\n";
        std::string text;
        while (text.size() < 4000000)
            text += line;
        return text;
    }
    // Types without dispatching anything, so that no outcome is taken in on the way.
    void typeWithoutPumping(const std::string& text) const {
        int end = GetWindowTextLengthA(noteEditor);
        SendMessageA(noteEditor, EM_SETSEL, end, end);
        SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

TEST_F(BackgroundAutosave, TextTypedDuringTheWriteStaysMarkedUntilSaved) {
    start();
    typeText("first");
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    typeText(" second");
    waitForPageWrite();
    EXPECT_EQ(readFileBytes(pageFile(0)), "first") << "the autosave wrote the text of its tick";
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_TRUE(pageUnsaved());
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "first second");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_FALSE(pageUnsaved());
}

TEST_F(BackgroundAutosave, FinishedWriteClearsTheMarker) {
    start();
    typeText("all of it");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    autosave();
    EXPECT_EQ(readFileBytes(pageFile(0)), "all of it");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_FALSE(pageUnsaved());
}

// The copy clears the editor's modified flag; a write that then fails must set it again, or a
// tab switch would drop the text as if it were on disk.
TEST_F(BackgroundAutosave, FailedWriteKeepsTheTextFromBeingLeft) {
    start();
    typeText("kept");
    command(IDM_SAVEPAGE);
    typeText(" and unsaved");
    LOCK_OR_SKIP(pageFile(0));
    autosave();
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_TRUE(pageUnsaved());
    clickTab(2);
    EXPECT_EQ(currentPage, 0);
    EXPECT_EQ(editorText(), "kept and unsaved");
    unlockFile(pageFile(0));
    clickTab(2);
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept and unsaved");
}

TEST_F(BackgroundAutosave, FailedWriteOfUnchangedTextLetsThePageBeLeft) {
    writePageBytes(0, "on disk");
    start();
    LOCK_OR_SKIP(pageFile(0));
    autosave();
    EXPECT_FALSE(pageUnsaved());
    clickTab(1);
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(readFileBytes(pageFile(0)), "on disk");
}

TEST_F(BackgroundAutosave, SwitchSaveAndQuitRightAfterTheTickWriteTheLatestText) {
    start();
    setEditorText(largeText('a'));
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    typeWithoutPumping("tail of page one");
    clickTab(1);
    EXPECT_EQ(currentPage, 1);
    EXPECT_EQ(readFileBytes(pageFile(0)), largeText('a') + "tail of page one");

    setEditorText(largeText('b'));
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    typeWithoutPumping("saved by Ctrl+S");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(1)), largeText('b') + "saved by Ctrl+S");
    EXPECT_EQ(tabCaption(1), "Page 2");

    typeWithoutPumping(", then quit");
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(1)), largeText('b') + "saved by Ctrl+S, then quit");
    EXPECT_FALSE(fileExists(dataPath("Page1.tmp")));
}

// The Data folder shared by a sync program: another machine's copy comes in as a new file
// renamed over the old one. The program writes only what is new and never over that copy.
class SharedDataFolder : public ProgramTest {
  protected:
    // Which file stands at the path, and when it was last written.
    static std::string identity(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        BY_HANDLE_FILE_INFORMATION info = {};
        GetFileInformationByHandle(file, &info);
        CloseHandle(file);
        return std::to_string(info.nFileIndexLow) + "/" + std::to_string(info.nFileIndexHigh) +
               "/" + std::to_string(info.ftLastWriteTime.dwLowDateTime) + "/" +
               std::to_string(info.ftLastWriteTime.dwHighDateTime);
    }
};

TEST_F(SharedDataFolder, OnlyWhatIsNewIsWritten) {
    writePageBytes(0, "zero");
    writePageBytes(1, "one");
    start();
    const struct {
        const char* name;
        std::function<void()> act;
        bool storesStartPage;
    } occasions[] = {
        {"the autosave tick", [this] { autosave(); }, false},
        {"Ctrl+S", [this] { command(IDM_SAVEPAGE); }, false},
        {"a switch and back", [this] { clickTab(1), clickTab(0); }, true},
        {"hiding and showing",
         [this] { SendMessageA(mainWindow, WM_CLOSE, 0, 0), command(IDM_OPEN); }, false},
        {"minimising", [] { SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0); }, false},
        {"Preferences' OK",
         [this] {
             ModalDriver driver;
             driver.then([](HWND dialog) { pressButton(dialog, IDC_PREF_OK); });
             command(IDM_PREFERENCES);
         },
         false},
        {"a restart", [this] { restart(); }, false},
    };
    for (const auto& occasion : occasions) {
        SCOPED_TRACE(occasion.name);
        std::string page = identity(pageFile(0));
        std::string otherPage = identity(pageFile(1));
        std::string storedSettings = identity(settingsFile());
        occasion.act();
        EXPECT_EQ(identity(pageFile(0)), page);
        EXPECT_EQ(identity(pageFile(1)), otherPage);
        if (!occasion.storesStartPage) {
            EXPECT_EQ(identity(settingsFile()), storedSettings);
        }
        typeText(" +");
        std::string typed = editorText();
        occasion.act();
        EXPECT_EQ(readFileBytes(pageFile(0)), typed) << "typed text is still saved";
        ShowWindow(mainWindow, SW_RESTORE);
    }
    DeleteFileA(pageFile(0).c_str());
    autosave();
    EXPECT_EQ(readFileBytes(pageFile(0)), editorText()) << "a deleted page file is written again";
}

TEST_F(SharedDataFolder, ReplacedPageIsShownAndKept) {
    writePageBytes(0, "zero");
    start();
    replaceFromOutside(pageFile(0), "from the other machine");
    autosave();
    EXPECT_EQ(editorText(), "from the other machine");
    EXPECT_EQ(tabCaption(0), "Page 1");
    std::vector<PageVersion> versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(readFileBytes(versions[0].path), "zero") << "the text it replaced is kept";
    typeText(", and here");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "from the other machine, and here");

    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    replaceFromOutside(pageFile(0), "while hidden");
    command(IDM_OPEN);
    EXPECT_EQ(editorText(), "while hidden") << "shown when the window is shown";
}

// Another machine's copy, renamed in at the last moment before the page file is replaced.
static void copyArrivesNow(const char* path) {
    replaceFromOutside(path, "theirs");
}

// With text typed here too, no one is asked and the keyboard stays the user's: the text typed
// here stays the page, the other copy is kept as a version, and a balloon says so. The copy may
// arrive before the save or while its file is written.
TEST_F(SharedDataFolder, ReplacedPageWithUnsavedTextKeepsBothWithoutAsking) {
    const struct {
        const char* name;
        std::function<void()> save;
        bool duringTheWrite;
    } occasions[] = {
        {"the autosave tick", [this] { autosave(); }, false},
        {"a switch", [this] { clickTab(1); }, false},
        {"Ctrl+S", [this] { command(IDM_SAVEPAGE); }, false},
        {"hiding", [] { SendMessageA(mainWindow, WM_CLOSE, 0, 0); }, false},
        {"Ctrl+S", [this] { command(IDM_SAVEPAGE); }, true},
        {"the autosave tick", [this] { autosave(); }, true},
    };
    for (const auto& occasion : occasions) {
        SCOPED_TRACE(std::string(occasion.name) + (occasion.duringTheWrite ? " during it" : ""));
        if (running())
            quit();
        removeFolder(dataPath("History"));
        writePageBytes(0, "zero");
        writeSettingsBytes(settingsBytes());
        start();
        typeText(", typed");
        if (!occasion.duringTheWrite)
            replaceFromOutside(pageFile(0), "theirs");
        if (occasion.duringTheWrite)
            beforePageFileReplaced = copyArrivesNow;
        ModalDriver driver;
        occasion.save();
        EXPECT_TRUE(driver.seenTexts.empty()) << "no one is asked";
        EXPECT_EQ(readFileBytes(pageFile(0)), "zero, typed");
        EXPECT_EQ(tabCaption(0), "Page 1");
        std::vector<PageVersion> versions = listPageVersions(0);
        ASSERT_FALSE(versions.empty());
        EXPECT_EQ(readFileBytes(versions[0].path), "theirs");
        EXPECT_STREQ(occasionNote(versions[0].occasion), "Another program's copy");
        EXPECT_NE(std::string(trayBalloon.szInfo).find("also changed"), std::string::npos);
        ShowWindow(mainWindow, SW_SHOW);
    }
}

// A copy that comes in is shown only once the text it replaces is kept; it is kept as a copy, as
// the save after it may fail and leave the file in place, where a program may rewrite it.
TEST_F(SharedDataFolder, CopyThatComesInReplacesOnlyATextThatIsKept) {
    writePageBytes(0, "zero");
    CreateDirectoryA(dataPath("History").c_str(), nullptr);
    start();
    LOCK_OR_SKIP(dataPath("History"));
    replaceFromOutside(pageFile(0), "theirs");
    autosave();
    EXPECT_EQ(editorText(), "zero");
    EXPECT_EQ(tabCaption(0), "Page 1*") << "the text here stays the page, as typed text would";
    EXPECT_EQ(readFileBytes(pageFile(0)), "theirs");
    unlockFile(dataPath("History"));
    ASSERT_TRUE(holdFile(pageFile(0), FILE_SHARE_READ));
    command(IDM_SAVEPAGE);
    std::vector<PageVersion> versions = listPageVersions(0);
    ASSERT_FALSE(versions.empty());
    EXPECT_STREQ(occasionNote(versions.back().occasion), "Another program's copy");
    EXPECT_EQ(readFileBytes(versions.back().path), "theirs");
    EXPECT_NE(fileIndex(versions.back().path), fileIndex(pageFile(0))) << "a copy, not a link";
    releaseFile(pageFile(0));
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "zero");
    EXPECT_EQ(tabCaption(0), "Page 1");
}

// A look at the page file refused for a moment (a sync program deleting and renaming it) marks
// no untouched text as typed and tells of no failure: the next save looks again.
TEST_F(SharedDataFolder, LookRefusedForAMomentLeavesAnUntouchedPageAlone) {
    writePageBytes(0, "zero");
    start();
    std::string page = unixPath(pageFile(0));
    // A link to itself, which no program can open.
    startLinuxProgram("Z:\\bin\\ln -sfn Page0.txt " + page);
    ASSERT_TRUE(pumpUntil([&] { return !fileExists(pageFile(0)); }));
    autosave();
    command(IDM_SAVEPAGE);
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_STREQ(trayBalloon.szInfo, "");
    startLinuxProgram("Z:\\bin\\rm " + page);
    ASSERT_TRUE(pumpUntil([&] {
        return GetFileAttributesA(pageFile(0).c_str()) == INVALID_FILE_ATTRIBUTES &&
               GetLastError() == ERROR_FILE_NOT_FOUND;
    }));
}

TEST_F(SharedDataFolder, RenameMadeElsewhereIsReadBeforeASwitchWritesTheSettings) {
    start();
    std::string stored = readFileBytes(settingsFile());
    replaceFromOutside(settingsFile(), stored.substr(0, 4) + NAMES + stored.substr(104));
    clickTab(2);
    EXPECT_EQ(tabCaption(0), "Work");
    EXPECT_EQ(readFileBytes(settingsFile()),
              "\x02" + stored.substr(1, 3) + NAMES + stored.substr(104));
}

// Whatever arrives while one of the program's modal windows is open (another program's quit
// command, a second start, the end of the session, a timer) runs inside that window's loop;
// nothing of it may lose a note, leave a window behind or open a window twice.
namespace {

enum class Arrival {
    ExitFromAnotherProgram,
    ExitFromTheTray,
    SecondStart,
    SecondStartWithPreferences,
    SessionEnd,
    Suspend,
    AutosaveTick,
    TaskbarCreated,
};

const char* const ARRIVAL_NAMES[] = {"Exit from another program",
                                     "Exit from the tray",
                                     "a second start",
                                     "a second start with -preferences",
                                     "the end of the session",
                                     "suspend",
                                     "the autosave tick",
                                     "TaskbarCreated"};

struct ModalWindow {
    const char* name;
    std::function<void()> open; // returns once its modal loops have ended
    // True when the dialog on top is the window under test; else it acts to get there.
    std::function<bool(HWND dialog)> reach;
    bool isMenu = false;
    bool insidePreferences = false;
    bool erasesPages = false;
    bool quitQuestion = false; // a quit request while it is open is the same request
};

DWORD WINAPI sendExit(void*) {
    DWORD_PTR result;
    SendMessageTimeoutA(mainWindow, WM_COMMAND, IDM_EXIT, 0, SMTO_NORMAL, 5000, &result);
    return 0;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (_stricmp(className, "IME") != 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int windowsLeft() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Answers a message box or closes a dialog without applying anything.
void dismiss(HWND dialog) {
    std::string caption = windowText(dialog);
    if (caption == "Preferences...")
        pressButton(dialog, IDC_PREF_CANCEL);
    else if (caption == "Export...")
        pressButton(dialog, IDC_EXPORT_CANCEL);
    else if (caption == "About Jotty Notes")
        pressButton(dialog, IDC_ABOUT_OK);
    else
        pressButton(dialog, GetDlgItem(dialog, IDNO)       ? IDNO
                            : GetDlgItem(dialog, IDCANCEL) ? IDCANCEL
                                                           : IDOK);
}

// From inside the modal loops: gets to the window under test, lets the arrival happen there,
// then closes every window that is still open, watching that none is open twice at once.
class ArrivalDriver {
  public:
    ArrivalDriver(const ModalWindow& window, Arrival arrival) : window(window), arrival(arrival) {
        active = this;
        timer = SetTimer(nullptr, 0, 30, onTimer);
    }
    ~ArrivalDriver() {
        KillTimer(nullptr, timer);
        active = nullptr;
        if (sender) {
            WaitForSingleObject(sender, 10000);
            CloseHandle(sender);
        }
    }
    std::map<std::string, int> opened; // dialogs seen, by caption
    bool twiceAtOnce = false;
    bool arrived = false;
    bool stuck = false;
    LRESULT sessionEndAnswer = -1;

  private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (active)
            active->tick();
    }
    void watch(const std::vector<HWND>& dialogs) {
        std::map<std::string, int> atOnce;
        for (HWND dialog : dialogs) {
            if (++atOnce[windowText(dialog)] > 1)
                twiceAtOnce = true;
            if (std::find(seen.begin(), seen.end(), dialog) == seen.end()) {
                seen.push_back(dialog);
                ++opened[windowText(dialog)];
            }
        }
    }
    void tick() {
        if (arriving)
            return;
        std::vector<HWND> dialogs = shownWindows("#32770");
        watch(dialogs);
        HWND top = nullptr;
        for (HWND dialog : dialogs)
            if (!top && IsWindowEnabled(dialog))
                top = dialog;
        if (++ticks > 300) {
            stuck = true;
            EndMenu();
            for (HWND dialog : dialogs)
                EndDialog(dialog, 0);
        } else if (!arrived) {
            bool there = window.isMenu ? !shownWindows("#32768", true).empty() : top && reach(top);
            if (there) {
                // A menu opened by the arrival runs this timer too: it is left alone meanwhile.
                arriving = true;
                arrive();
                arriving = false;
                arrived = true;
            }
        } else if (!sender || WaitForSingleObject(sender, 0) == WAIT_OBJECT_0) {
            if (!shownWindows("#32768", true).empty())
                EndMenu();
            else if (top && std::find(closed.begin(), closed.end(), top) == closed.end()) {
                closed.push_back(top);
                dismiss(top);
            }
        }
    }
    bool reach(HWND top) {
        if (std::find(reached.begin(), reached.end(), top) != reached.end())
            return false;
        reached.push_back(top);
        return window.reach(top);
    }
    void arrive() {
        switch (arrival) {
            case Arrival::ExitFromAnotherProgram:
                sender = CreateThread(nullptr, 0, sendExit, nullptr, 0, nullptr);
                break;
            case Arrival::ExitFromTheTray: {
                MenuDriver tray([](HMENU, HWND menu) { chooseByKey(menu, 'x'); });
                SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_RBUTTONUP);
                break;
            }
            case Arrival::SecondStart: bringRunningCopyForward(mainWindow, false); break;
            case Arrival::SecondStartWithPreferences:
                bringRunningCopyForward(mainWindow, true);
                break;
            case Arrival::SessionEnd:
                sessionEndAnswer = SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, 0);
                SendMessageA(mainWindow, WM_ENDSESSION, sessionEndAnswer, 0);
                break;
            case Arrival::Suspend:
                SendMessageA(mainWindow, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
                break;
            case Arrival::AutosaveTick: SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0); break;
            case Arrival::TaskbarCreated:
                SendMessageA(mainWindow, taskbarCreatedMessage, 0, 0);
                break;
        }
    }
    static ArrivalDriver* active;
    const ModalWindow& window;
    Arrival arrival;
    UINT_PTR timer;
    HANDLE sender = nullptr;
    int ticks = 0;
    bool arriving = false;
    std::vector<HWND> seen, reached, closed;
};

ArrivalDriver* ArrivalDriver::active;

bool isMessage(HWND box, const char* text) {
    return messageBoxText(box).find(text) != std::string::npos;
}

// Each step acts on the dialog of its caption or text; the last one names the window under test.
std::function<bool(HWND)>
through(std::vector<std::pair<const char*, std::function<void(HWND)>>> steps) {
    return [steps](HWND dialog) {
        for (size_t i = 0; i < steps.size(); ++i) {
            bool match = windowText(dialog) == steps[i].first || isMessage(dialog, steps[i].first);
            if (match && i + 1 == steps.size())
                return true;
            if (match)
                steps[i].second(dialog);
        }
        return false;
    };
}

} // namespace

class ModalWindows : public ProgramTest {
  protected:
    void plantNotes() {
        writeSettingsBytes(settingsBytes(0, USER_NAMES, false));
        writePageBytes(0, "saved notes");
        writePageBytes(2, "other page");
        writePageBytes(4, "");
        DeleteFileA(pageFile(4).c_str());
    }
    void runCell(const ModalWindow& window, Arrival arrival) {
        if (running())
            quit();
        plantNotes();
        restart();
        typeText(", typed here");
        if (window.quitQuestion) {
            ASSERT_TRUE(lockFile(pageFile(0)));
        }
        if (std::string(window.name) == "the unreadable-page warning") {
            ASSERT_TRUE(holdFile(pageFile(2)));
        }
        ArrivalDriver driver(window, arrival);
        window.open();
        pumpMessages(); // a held command runs now, and its window is closed again
        unlockFile(pageFile(0));
        releaseFile(pageFile(2));
        bool endsProgram = !window.quitQuestion &&
                           (arrival == Arrival::ExitFromAnotherProgram ||
                            arrival == Arrival::ExitFromTheTray || arrival == Arrival::SessionEnd);
        EXPECT_TRUE(driver.arrived);
        EXPECT_FALSE(driver.stuck) << "a window was left open";
        EXPECT_FALSE(driver.twiceAtOnce);
        EXPECT_EQ(driver.opened["Preferences..."],
                  window.insidePreferences ||
                      (arrival == Arrival::SecondStartWithPreferences && !endsProgram));
        EXPECT_EQ(running(), !endsProgram);
        if (arrival == Arrival::SessionEnd) {
            EXPECT_EQ(driver.sessionEndAnswer, window.quitQuestion ? FALSE : TRUE);
        }
        EXPECT_EQ(running() ? quit() : runToExit(), 0);
        EXPECT_EQ(windowsLeft(), 0);
        EXPECT_FALSE(pageWritePending()) << "no write outlives the program";
        std::string typed = window.erasesPages ? "" : "saved notes, typed here";
        EXPECT_EQ(readFileBytes(pageFile(0)), typed);
        EXPECT_EQ(readFileBytes(pageFile(2)), window.erasesPages ? "" : "other page");
        EXPECT_EQ(readFileBytes(settingsFile()).substr(4, 100), NAMES);
    }
};

TEST_F(ModalWindows, NothingThatArrivesInsideOneLosesANote) {
    auto press = [](int id) { return [id](HWND dialog) { pressButton(dialog, id); }; };
    std::string exported = folder + "\\exported.txt";
    auto saveAs = [exported](HWND dialog) {
        SetWindowTextA(saveAsFileNameBox(dialog), exported.c_str());
        pressButton(dialog, IDOK);
    };
    auto tickPage4 = [](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_EXPORT_PAGE0 + 4, BM_SETCHECK, BST_CHECKED, 0);
        pressButton(dialog, IDC_EXPORT_EXPORT);
    };
    auto preferences = [this] { command(IDM_PREFERENCES); };
    auto none = [](HWND) {};
    const ModalWindow windows[] = {
        {"Preferences from the tray", preferences, through({{"Preferences...", none}}), false,
         true},
        {"Preferences from the editor menu",
         [] { SendMessageA(noteEditor, WM_COMMAND, IDM_PREFERENCES, 0); },
         through({{"Preferences...", none}}), false, true},
        {"Preferences at start", [this] { restart("-preferences"); },
         through({{"Preferences...", none}}), false, true},
        {"Preferences from a second start",
         [] {
             bringRunningCopyForward(mainWindow, true);
             pumpMessages();
         },
         through({{"Preferences...", none}}), false, true},
        {"the Export dialog", preferences,
         through({{"Preferences...", press(IDC_PREF_EXPORT)}, {"Export...", none}}), false, true},
        {"an export's Save As", [] { SendMessageA(noteEditor, WM_COMMAND, IDM_EXPORTPAGE, 0); },
         through({{"Save As", none}}), false, false},
        {"About", [this] { command(IDM_ABOUT); }, through({{"About Jotty Notes", none}}), false,
         false},
        {"Previous Versions",
         [] { SendMessageA(mainWindow, WM_SYSCOMMAND, IDM_PREVIOUSVERSIONS, 0); },
         through({{"Previous Versions - Work", none}}), false, false},
        {"the Clear question", preferences,
         through({{"Preferences...", press(IDC_PREF_CLEAR)}, {"will erase all", none}}), false,
         true},
        {"the message after Clear", preferences,
         through({{"Preferences...", press(IDC_PREF_CLEAR)},
                  {"will erase all", press(IDYES)},
                  {"have been erased", none}}),
         false, true, true},
        {"the quit question", [this] { command(IDM_EXIT); },
         through({{"could not be saved", none}}), false, false, false, true},
        {"the unreadable-page warning", [this] { clickTab(2); },
         through({{"could not be read", none}}), false, false},
        {"the export error box", preferences,
         through({{"Preferences...", press(IDC_PREF_EXPORT)},
                  {"Export...", tickPage4},
                  {"Choose a path", press(IDOK)},
                  {"Save As", saveAs},
                  {"Error while exporting", none}}),
         false, true},
        {"the tray menu", [] { SendMessageA(mainWindow, WM_TRAYICON, IDI_NOTES, WM_RBUTTONUP); },
         nullptr, true, false},
        {"the editor menu",
         [] { SendMessageA(noteEditor, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10)); }, nullptr,
         true, false},
    };
    for (const ModalWindow& window : windows) {
        for (int arrival = 0; arrival <= static_cast<int>(Arrival::TaskbarCreated); ++arrival) {
            // A menu closes before another one can open.
            if (window.isMenu && arrival == static_cast<int>(Arrival::ExitFromTheTray))
                continue;
            SCOPED_TRACE(std::string(ARRIVAL_NAMES[arrival]) + " in " + window.name);
            runCell(window, static_cast<Arrival>(arrival));
        }
    }
}
