// Page files and the settings file, byte for byte on disk.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/safe_file.h"
#include "storage/settings.h"
#include "ui/main_window.h"

#include <cstring>

using SettingsFile = ProgramTest;

TEST_F(SettingsFile, FirstStartWritesTheDefaultImage) {
    start();
    EXPECT_EQ(readFileBytes(settingsFile()), settingsBytes());
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(tabCaption(page), "Page " + std::to_string(page + 1));
    EXPECT_EQ(GetWindowLongA(noteEditor, GWL_STYLE) & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
}

TEST_F(SettingsFile, ShortFileFillsOnlyTheLeadingBytes) {
    writeSettingsBytes(std::string("\x02\x00\x00\x01", 4));
    start();
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(selectedTab(), 2);
    EXPECT_EQ(settings.autoStart, 0);
    EXPECT_EQ(GetWindowLongA(noteEditor, GWL_STYLE) & ES_AUTOHSCROLL, 0) << "word wrap is on";
    EXPECT_EQ(tabCaption(0), "");
    std::string stored = readFileBytes(settingsFile());
    ASSERT_EQ(stored.size(), 124u);
    EXPECT_EQ(stored, std::string("\x02\x00\x00\x01", 4) + std::string(120, '\0'));
}

TEST_F(SettingsFile, LongFileIsCutAndReservedBytesSurvive) {
    std::string image = settingsBytes();
    for (int i = 104; i < 124; ++i)
        image[i] = static_cast<char>(0xA0 + i - 104);
    writeSettingsBytes(image + std::string(76, 'x'));
    start();
    restart();
    EXPECT_EQ(readFileBytes(settingsFile()), image);
}

TEST_F(SettingsFile, DamagedRecordStaysWithinTheFivePages) {
    for (int16_t startPage : {5, -1, 32767, -32768}) {
        std::string image = settingsBytes(startPage);
        memset(&image[4 + 20], 'N', 20); // the second name has no NUL
        writeSettingsBytes(image);
        restart();
        EXPECT_EQ(currentPage, 0) << startPage;
        EXPECT_EQ(selectedTab(), 0) << startPage;
        EXPECT_EQ(tabCaption(1), std::string(19, 'N'));
        EXPECT_EQ(readFileBytes(settingsFile()).size(), 124u);
        quit();
    }
}

TEST_F(SettingsFile, ShowingAPageStoresItAsTheStartPage) {
    start();
    clickTab(3);
    std::string stored = readFileBytes(settingsFile());
    EXPECT_EQ(stored.substr(0, 2), std::string("\x03\x00", 2));
}

using PageFiles = ProgramTest;

TEST_F(PageFiles, TextIsStoredByteForByte) {
    start();
    EXPECT_TRUE(fileExists(pageFile(0))) << "page 0 exists after the first start";
    EXPECT_EQ(readFileBytes(pageFile(0)), "");
    EXPECT_FALSE(fileExists(pageFile(1)));
    setEditorText("a\r\nb");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "a\r\nb");
    std::string high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high += static_cast<char>(byte);
    setEditorText("lone\rcr\nlf" + high);
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "lone\rcr\nlf" + high);
    EXPECT_FALSE(fileExists(dataPath("Page0.tmp"))) << "no temporary file is left behind";
}

// What follows the NUL cannot be shown: an unchanged page leaves it alone, a changed one is
// saved as the editor holds it.
TEST_F(PageFiles, NulByteEndsTheLoadedText) {
    writePageBytes(0, std::string("before\0after", 12));
    start();
    EXPECT_EQ(editorText(), "before");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), std::string("before\0after", 12));
    typeText(" and now");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "before and now");
}

TEST_F(PageFiles, ReadingTakesTheWholeFileUpToTheFirstNul) {
    std::string text = "stale";
    FileStamp stamp;
    writePageBytes(1, "");
    EXPECT_EQ(readPageFile(pageFile(1).c_str(), text, stamp), FileRead::Loaded);
    EXPECT_EQ(text, "") << "a 0-byte file is an empty page";
    writePageBytes(1, std::string("kept\0dropped", 12));
    EXPECT_EQ(readPageFile(pageFile(1).c_str(), text, stamp), FileRead::Loaded);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(readPageFile(pageFile(3).c_str(), text, stamp), FileRead::Missing);
    EXPECT_EQ(text, "kept") << "a missing file leaves the text alone";
}

static HCURSOR cursorAtLoad;
static LRESULT CALLBACK noteCursorAtLoad(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->hwnd == noteEditor)
        cursorAtLoad = GetCursor();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Such a load takes a noticeable time, and the wait cursor shows meanwhile.
TEST_F(PageFiles, LargePageLoadsWholeAndTheUserCanKeepTyping) {
    std::string big;
    for (int line = 0; big.size() < 3000000; ++line)
        big += "line " + std::to_string(line) + " of a long page\r\n";
    writePageBytes(0, big);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, noteCursorAtLoad, nullptr, GetCurrentThreadId());
    start();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(cursorAtLoad, LoadCursorA(nullptr, IDC_WAIT));
    int length = GetWindowTextLengthA(noteEditor);
    EXPECT_EQ(length, static_cast<int>(big.size()));
    SendMessageA(noteEditor, EM_SETSEL, length, length);
    SendMessageA(noteEditor, WM_CHAR, 'z', 0);
    command(IDM_SAVEPAGE);
    // Compared as a whole: a failure report of two such texts would not fit in memory.
    EXPECT_TRUE(readFileBytes(pageFile(0)) == big + "z");
}

TEST_F(PageFiles, DeletedDataFolderIsMadeAgainOnTheNextSave) {
    start();
    typeText("kept");
    removeFolder(folder + "\\Data");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
    EXPECT_EQ(tabCaption(0), "Page 1");
}

TEST_F(PageFiles, FailedSaveKeepsTheOldFileAndTheMarker) {
    start();
    typeText("first");
    command(IDM_SAVEPAGE);
    typeText(" second");
    LOCK_OR_SKIP(pageFile(0));
    command(IDM_SAVEPAGE);
    unlockFile(pageFile(0));
    EXPECT_EQ(readFileBytes(pageFile(0)), "first");
    EXPECT_EQ(tabCaption(0), "Page 1*");
    EXPECT_FALSE(fileExists(dataPath("Page0.tmp")));
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "first second");
    EXPECT_EQ(tabCaption(0), "Page 1");
}

TEST_F(PageFiles, PageHeldOpenElsewhereIsNotWrittenOver) {
    start();
    typeText("on disk");
    command(IDM_SAVEPAGE);
    typeText(" and more");
    ASSERT_TRUE(holdFile(pageFile(0)));
    command(IDM_SAVEPAGE);
    releaseFile(pageFile(0));
    EXPECT_EQ(readFileBytes(pageFile(0)), "on disk");
    EXPECT_EQ(tabCaption(0), "Page 1*");
}

TEST_F(PageFiles, LeftoversOfACrashedSaveAreRemovedAtStart) {
    writePageBytes(0, "whole page");
    writeFileBytes(dataPath("Page0.tmp"), "half a pa");
    writeFileBytes(dataPath("Settings.tmp"), "x");
    start();
    EXPECT_FALSE(fileExists(dataPath("Page0.tmp")));
    EXPECT_FALSE(fileExists(dataPath("Settings.tmp")));
    EXPECT_EQ(editorText(), "whole page");
}

TEST(SafeFile, TemporaryPathFitsWheneverThePathFits) {
    char temporary[MAX_PATH];
    ASSERT_TRUE(formatTemporaryPath(temporary, "C:\\notes.d\\Data\\Page3.txt"));
    EXPECT_STREQ(temporary, "C:\\notes.d\\Data\\Page3.tmp");
    std::string longest = "C:\\" + std::string(MAX_PATH - 1 - 21, 'f') + "\\Data\\Settings.dat";
    ASSERT_EQ(longest.size(), static_cast<size_t>(MAX_PATH - 1));
    EXPECT_TRUE(formatTemporaryPath(temporary, longest.c_str()));
}

TEST(SafeFile, PathsThatDoNotFitAreRefused) {
    char path[MAX_PATH];
    std::string longFolder(250, 'f');
    strcpy(installFolder, longFolder.c_str());
    EXPECT_FALSE(formatPagePath(path, 0));
    EXPECT_FALSE(formatPagePath(path, 5)) << "only the five pages have files";
    strcpy(installFolder, "C:\\notes");
    ASSERT_TRUE(formatPagePath(path, 4));
    EXPECT_STREQ(path, "C:\\notes\\Data\\Page4.txt");
    FileStamp stamp;
    EXPECT_FALSE(replaceFileContents((std::string(300, 'x')).c_str(), "a", 1, stamp));
}
