// When a save or a load fails, the notes stay where they are and no failure passes for success.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"

using NoLoss = ProgramTest;

TEST_F(NoLoss, FailedSaveOnATabSwitchKeepsThePage) {
    start();
    typeText("first words");
    command(40004);
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
        command(423);
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
    SendMessageA(noteEditor, WM_COMMAND, 423, 0);
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
    command(40004);
    EXPECT_EQ(readFileBytes(pageFile(3)), "notes on page four");
    clickTab(3);
    EXPECT_EQ(editorText(), "notes on page four") << "the switch works once the hold ends";
}

// The hold ends while the warning is up: from then on, only the program keeps the unread page
// from being written over, by the switch to a readable page or by a save.
TEST_F(NoLoss, UnreadablePageZeroAtStartIsLeftAlone) {
    writePageBytes(0, "page zero notes");
    ASSERT_TRUE(holdFile(pageFile(0)));
    ModalDriver driver;
    driver.then([&](HWND box) {
        releaseFile(pageFile(0));
        pressButton(box, IDOK);
    });
    start();
    EXPECT_EQ(driver.seenTexts.size(), 1u);
    EXPECT_NE(currentPage, 0) << "the program starts on a page it could read";
    EXPECT_EQ(selectedTab(), currentPage);
    autosave();
    command(40004);
    EXPECT_EQ(readFileBytes(pageFile(0)), "page zero notes");
    clickTab(0);
    EXPECT_EQ(editorText(), "page zero notes");
}

TEST_F(NoLoss, UnreadableStartPageFallsBackToAReadablePage) {
    writePageBytes(0, "zero");
    writePageBytes(2, "two");
    writeSettingsBytes(std::string("\x02\x00\x01\x00", 4) + "Page 1" + std::string(14, '\0') +
                       "Page 2" + std::string(14, '\0') + "Page 3" + std::string(14, '\0') +
                       "Page 4" + std::string(14, '\0') + "Page 5" + std::string(34, '\0'));
    ASSERT_TRUE(holdFile(pageFile(2)));
    ModalDriver driver;
    driver.then([&](HWND box) {
        releaseFile(pageFile(2));
        pressButton(box, IDOK);
    });
    start();
    EXPECT_EQ(driver.seenTexts.size(), 1u);
    EXPECT_EQ(currentPage, 0);
    EXPECT_EQ(selectedTab(), 0);
    EXPECT_EQ(editorText(), "zero");
    autosave();
    command(40004);
    EXPECT_EQ(readFileBytes(pageFile(2)), "two");
    EXPECT_EQ(readFileBytes(pageFile(0)), "zero");
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
    EXPECT_TRUE(editorModified());
    command(40004);
    EXPECT_EQ(readFileBytes(pageFile(0)), "first second");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_FALSE(editorModified());
}

TEST_F(BackgroundAutosave, FinishedWriteClearsTheMarker) {
    start();
    typeText("all of it");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    autosave();
    EXPECT_EQ(readFileBytes(pageFile(0)), "all of it");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_FALSE(editorModified());
}

// The copy clears the editor's modified flag; a write that then fails must set it again, or a
// tab switch would drop the text as if it were on disk.
TEST_F(BackgroundAutosave, FailedWriteKeepsTheTextFromBeingLeft) {
    start();
    typeText("kept");
    command(40004);
    typeText(" and unsaved");
    LOCK_OR_SKIP(pageFile(0));
    autosave();
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_TRUE(editorModified());
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
    EXPECT_FALSE(editorModified());
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
    command(40004);
    EXPECT_EQ(readFileBytes(pageFile(1)), largeText('b') + "saved by Ctrl+S");
    EXPECT_EQ(tabCaption(1), "Page 2");

    typeWithoutPumping(", then quit");
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    EXPECT_EQ(quit(), 0);
    EXPECT_EQ(readFileBytes(pageFile(1)), largeText('b') + "saved by Ctrl+S, then quit");
    EXPECT_FALSE(fileExists(dataPath("Page1.tmp")));
}

TEST(Manifest, RunsAsInvokerOnEverySupportedWindows) {
    HMODULE program = LoadLibraryExA((executableFolder() + "\\jnotes.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                         SizeofResource(program, found));
    FreeLibrary(program);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    for (const char* id :
         {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
          "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(id), std::string::npos) << id;
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}
