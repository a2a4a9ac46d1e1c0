// Page files, the settings file and the previous versions of the pages, byte for byte on disk.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "storage/safe_file.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/tray_icon.h"

#include <commctrl.h>
#include <cstring>
#include <functional>
#include <map>
#include <set>

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

class PageFiles : public ProgramTest {
  protected:
    // The folder of the page's versions, made where there is none, with its closing backslash.
    std::string versionsFolder(int page) const {
        CreateDirectoryA(dataPath("History").c_str(), nullptr);
        std::string path = dataPath("History\\Page" + std::to_string(page));
        CreateDirectoryA(path.c_str(), nullptr);
        return path + "\\";
    }
    // The texts of the page's versions, newest first.
    static std::vector<std::string> versionTexts(int page) {
        std::vector<std::string> texts;
        for (const PageVersion& version : listPageVersions(page))
            texts.push_back(readFileBytes(version.path));
        return texts;
    }
};

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

// A page keeps 8-bit text: a file that another editor wrote in UTF-16 or UTF-8 is shown converted,
// and a file with a NUL byte shows the text before it. An unchanged page leaves the file alone;
// the first save that changes it keeps the file as it was as a version, and the user is told
// once, without a modal window.
TEST_F(PageFiles, FileInAnotherEncodingOrWithANulIsShownAsThePageKeepsIt) {
    const struct {
        const char* name;
        std::string bytes;
        const char* shown;
        const char* told;
    } files[] = {
        {"UTF-16 LE", std::string("\xFF\xFEn\0o\0t\0\xE9\0", 10), "not\xE9", "UTF-16"},
        {"UTF-16 BE", std::string("\xFE\xFF\0n\0o\0t\0\xE9", 10), "not\xE9", "UTF-16"},
        {"UTF-8", "\xEF\xBB\xBFnot\xC3\xA9", "not\xE9", "UTF-8"},
        {"a NUL byte", std::string("before\0after", 12), "before", "NUL"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        if (running())
            quit();
        removeFolder(dataPath("History"));
        writePageBytes(0, file.bytes);
        start();
        EXPECT_EQ(editorText(), file.shown);
        EXPECT_NE(std::string(trayBalloon.szInfo).find(file.told), std::string::npos);
        command(IDM_SAVEPAGE);
        EXPECT_EQ(readFileBytes(pageFile(0)), file.bytes) << "an unchanged page is not written";
        typeText(" and now");
        command(IDM_SAVEPAGE);
        EXPECT_EQ(readFileBytes(pageFile(0)), file.shown + std::string(" and now"));
        std::vector<PageVersion> versions = listPageVersions(0);
        ASSERT_EQ(versions.size(), 1u);
        EXPECT_EQ(readFileBytes(versions[0].path), file.bytes);
        EXPECT_STREQ(occasionNote(versions[0].occasion), "The file as it was");
        std::string preview;
        ModalDriver driver;
        driver.then([&](HWND dialog) {
            preview = windowText(GetDlgItem(dialog, IDC_VERSIONS_VIEW));
            pressButton(dialog, IDCANCEL);
        });
        SendMessageA(mainWindow, WM_SYSCOMMAND, IDM_PREVIOUSVERSIONS, 0);
        EXPECT_EQ(preview, file.shown) << "Previous Versions shows it as a restore would";
    }
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

// Besides the beep, a balloon says why, once for each run of failures.
TEST_F(PageFiles, FailedSaveKeepsTheOldFileAndTheMarker) {
    start();
    typeText("first");
    command(IDM_SAVEPAGE);
    typeText(" second");
    LOCK_OR_SKIP(pageFile(0));
    command(IDM_SAVEPAGE);
    EXPECT_NE(std::string(trayBalloon.szInfo).find("could not be saved"), std::string::npos);
    showBalloon("Another notice", "shown after the first failure", NIIF_INFO);
    command(IDM_SAVEPAGE);
    EXPECT_STREQ(trayBalloon.szInfo, "shown after the first failure") << "told once for the run";
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

// On a clock the test sets: the minutes since the page's newest version.
TEST(PageHistory, RulesSayWhichReplacedTextIsKept) {
    using O = VersionOccasion;
    const struct {
        const char* before;
        const char* after;
        bool hasVersions;
        ULONGLONG minutes;
        VersionOccasion occasion;
        bool kept;
    } cases[] = {
        {"notes", "notes, more", false, 0, O::Edits, true}, // the page's first version
        {"notes", "notes, more", true, 9, O::Edits, false}, // the edits of ten minutes make one
        {"notes", "notes, more", true, 10, O::Edits, true}, //
        {"a paragraph", "a par", true, 1, O::Edits, true},  // cut to less than half
        {"abcdef", "abc", true, 1, O::Edits, false},        // half is not less than half
        {"notes", "notes", false, 60, O::Edits, false},     // the same text
        {"", "first words", false, 60, O::Edits, false},    // an empty page holds nothing
        {"notes", "", true, 1, O::EraseAll, true},          //
        {"typed over", "notes", true, 1, O::Restore, true}, //
        {"mine", "theirs", true, 0, O::TakenIn, true},      //
        {"same", "same", true, 60, O::Restore, false},      //
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        EXPECT_EQ(versionWanted(c.hasVersions, c.minutes * MINUTE_IN_FILETIME, strlen(c.before),
                                strlen(c.after), strcmp(c.before, c.after) == 0, c.occasion),
                  c.kept);
    }
}

TEST(PageHistory, PruningKeepsAWeekThenADayEachToNinetyDaysWithinTheirSize) {
    const ULONGLONG HOUR = 60 * MINUTE_IN_FILETIME, MB = 1 << 20, NOW = 1000 * DAY_IN_FILETIME;
    using O = VersionOccasion;
    struct Planted {
        ULONGLONG ageInHours;
        ULONGLONG size;
        VersionOccasion occasion = O::Edits;
    };
    const struct {
        const char* name;
        std::vector<Planted> newestFirst;
        ULONGLONG pageSize;
        std::vector<size_t> pruned;
    } cases[] = {
        {"a week whole", {{0, 1}, {1, 1}, {2, 1}, {100, 1}, {167, 1}}, 1, {}},
        {"a day each after it", {{0, 1}, {193, 1}, {197, 1}, {215, 1}, {217, 1}}, 1, {2, 3}},
        {"nothing after 90 days", {{0, 1}, {24 * 89, 1}, {24 * 90 + 1, 1}}, 1, {2}},
        {"64 MB, the oldest first", {{0, 30 * MB}, {1, 30 * MB}, {2, 30 * MB}}, MB, {2}},
        {"8 times a large page", {{0, 30 * MB}, {1, 30 * MB}, {2, 30 * MB}}, 12 * MB, {}},
        {"never the newest", {{0, 100 * MB}, {1, MB}}, MB, {1}},
        {"a special occasion is never thinned", {{0, 1}, {193, 1}, {197, 1, O::EraseAll}}, 1, {}},
        {"nor kept past 90 days", {{0, 1}, {24 * 90 + 1, 1, O::Unsaved}}, 1, {1}},
        {"ordinary versions go first",
         {{0, 30 * MB}, {1, 30 * MB}, {2, 30 * MB, O::Restore}},
         MB,
         {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PageVersion> versions;
        for (const Planted& version : c.newestFirst)
            versions.push_back(
                {"", NOW - version.ageInHours * HOUR, version.size, version.occasion});
        EXPECT_EQ(versionsToPrune(versions, NOW, c.pageSize), c.pruned);
    }
}

// Months of use in simulated time, a prune after every version kept, at the times of day the
// user edits: every version of the last 7 days stays, the newest of each day with edits from
// day 8 to day 90, every version of a special occasion for 90 days, none older, the newest always.
TEST(PageHistory, MonthsOfPruningKeepWhatThePromiseSays) {
    const int MINUTE = 1, HOUR = 60;
    const struct {
        const char* name;
        std::function<bool(int day)> editsOn;
        std::vector<int> minutesOfTheDay; // local time; each day moves them a little
        int specialEvery;                 // every so many versions are a special occasion's
    } uses[] = {
        {"weekdays 9:00 to 17:00",
         [](int day) { return day % 7 < 5; },
         {9 * HOUR, 10 * HOUR, 11 * HOUR, 12 * HOUR, 13 * HOUR, 14 * HOUR, 15 * HOUR, 16 * HOUR,
          17 * HOUR},
         0},
        {"every day, late at night too",
         [](int) { return true; },
         {7 * HOUR, 12 * HOUR, 23 * HOUR + 50 * MINUTE},
         0},
        {"bursts",
         [](int day) { return day % 5 == 0; },
         {22 * HOUR, 22 * HOUR + 10, 22 * HOUR + 20, 23 * HOUR, 23 * HOUR + 55, 24 * HOUR + 5},
         0},
        {"gaps of weeks", [](int day) { return day % 40 < 10; }, {10 * HOUR, 14 * HOUR}, 0},
        {"special occasions among edits",
         [](int day) { return day % 2 == 0; },
         {8 * HOUR, 9 * HOUR, 18 * HOUR, 19 * HOUR},
         3},
    };
    // Local midnight of the first day of use; the times become UTC as the time zone has them.
    SYSTEMTIME firstDay = {2026, 1, 0, 5, 0, 0, 0, 0};
    FILETIME firstMidnight;
    SystemTimeToFileTime(&firstDay, &firstMidnight);
    ULONGLONG midnight =
        ULARGE_INTEGER{{firstMidnight.dwLowDateTime, firstMidnight.dwHighDateTime}}.QuadPart;
    for (const auto& use : uses) {
        SCOPED_TRACE(use.name);
        struct Kept {
            ULONGLONG keptAt;
            ULONGLONG localDay;
            bool special;
        };
        std::vector<Kept> made;
        std::vector<PageVersion> newestFirst;
        for (int day = 0; day < 130; ++day) {
            for (int minute : use.minutesOfTheDay) {
                if (!use.editsOn(day))
                    continue;
                ULONGLONG local =
                    midnight + day * DAY_IN_FILETIME + (minute + day % 17) * MINUTE_IN_FILETIME;
                FILETIME localTime = {static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)};
                SYSTEMTIME localClock, utcClock;
                FILETIME utc;
                FileTimeToSystemTime(&localTime, &localClock);
                TzSpecificLocalTimeToSystemTime(nullptr, &localClock, &utcClock);
                SystemTimeToFileTime(&utcClock, &utc);
                bool special = use.specialEvery && made.size() % use.specialEvery == 0;
                made.push_back({ULARGE_INTEGER{{utc.dwLowDateTime, utc.dwHighDateTime}}.QuadPart,
                                local / DAY_IN_FILETIME, special});
                newestFirst.insert(newestFirst.begin(),
                                   {std::to_string(made.size() - 1), made.back().keptAt, 100,
                                    special ? VersionOccasion::EraseAll : VersionOccasion::Edits});
                std::vector<size_t> pruned = versionsToPrune(newestFirst, made.back().keptAt, 100);
                for (auto index = pruned.rbegin(); index != pruned.rend(); ++index)
                    newestFirst.erase(newestFirst.begin() + *index);
            }
        }
        ULONGLONG now = made.back().keptAt;
        std::set<size_t> kept;
        for (const PageVersion& version : newestFirst)
            kept.insert(std::stoul(version.path));
        EXPECT_EQ(newestFirst.front().path, std::to_string(made.size() - 1)) << "the newest";
        std::map<ULONGLONG, std::vector<size_t>> ordinaryOfDay;
        for (size_t i = 0; i < made.size(); ++i) {
            ULONGLONG age = now - made[i].keptAt;
            bool shouldStay =
                age < 7 * DAY_IN_FILETIME || (made[i].special && age < 90 * DAY_IN_FILETIME);
            if (shouldStay || age >= 90 * DAY_IN_FILETIME) {
                EXPECT_EQ(kept.count(i), shouldStay ? 1u : 0u) << "version " << i;
            }
            if (!made[i].special)
                ordinaryOfDay[made[i].localDay].push_back(i);
        }
        int daysChecked = 0;
        for (const auto& day : ordinaryOfDay) {
            ULONGLONG newestAge = now - made[day.second.back()].keptAt;
            ULONGLONG oldestAge = now - made[day.second.front()].keptAt;
            if (newestAge < 7 * DAY_IN_FILETIME || oldestAge >= 90 * DAY_IN_FILETIME)
                continue;
            ++daysChecked;
            for (size_t i : day.second)
                EXPECT_EQ(kept.count(i), i == day.second.back() ? 1u : 0u)
                    << "only the newest of its day, version " << i;
        }
        EXPECT_GT(daysChecked, 10);
    }
}

// A version's name as the program makes it: the time kept in UTC, a random part, an occasion.
static std::string versionNameAged(ULONGLONG age, const char* random = "0badf00d") {
    ULONGLONG kept = currentFileTime() - age;
    FILETIME time = {static_cast<DWORD>(kept), static_cast<DWORD>(kept >> 32)};
    SYSTEMTIME utc;
    FileTimeToSystemTime(&time, &utc);
    char name[64];
    snprintf(name, sizeof name, "%04u%02u%02u-%02u%02u%02u-%03u-%s.txt", utc.wYear, utc.wMonth,
             utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds, random);
    return name;
}

TEST_F(PageFiles, AVersionLinksTheReplacedFileOrElseCopiesItAndStaysAsItWas) {
    writePageBytes(0, "first text");
    writePageBytes(1, "second page");
    // The versions of the second page on another file system, which no hard link reaches.
    std::string elsewhere = "Z:\\dev\\shm\\jnotes-history-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    CreateDirectoryA(dataPath("History").c_str(), nullptr);
    startLinuxProgram("Z:\\bin\\ln -s " + unixPath(elsewhere) + " " +
                      unixPath(dataPath("History")) + "/Page1");
    ASSERT_TRUE(pumpUntil([&] { return fileExists(dataPath("History\\Page1")); }));
    start();
    std::string replaced = fileIndex(pageFile(0));
    typeText(", changed");
    command(IDM_SAVEPAGE);
    for (int save = 0; save < 10; ++save) {
        typeText("+");
        command(IDM_SAVEPAGE);
    }
    std::vector<PageVersion> versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 1u) << "the edits of ten minutes make one version";
    EXPECT_EQ(readFileBytes(versions[0].path), "first text") << "unchanged by the later saves";
    EXPECT_EQ(fileIndex(versions[0].path), replaced) << "a hard link: no byte copied";
    DeleteFileA(versions[0].path.c_str());
    ASSERT_TRUE(listPageVersions(0).empty());
    typeText("!");
    command(IDM_SAVEPAGE);
    versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 1u) << "a page whose versions were all removed has none";
    EXPECT_EQ(readFileBytes(versions[0].path), "first text, changed++++++++++");

    clickTab(1);
    replaced = fileIndex(pageFile(1));
    typeText(", changed");
    command(IDM_SAVEPAGE);
    versions = listPageVersions(1);
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(readFileBytes(versions[0].path), "second page");
    EXPECT_NE(fileIndex(versions[0].path), replaced) << "a copy";
    // Another program's copy renamed in during the write is kept there too.
    typeText(" again");
    beforePageFileReplaced = [](const char* path) { replaceFromOutside(path, "theirs"); };
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(1)), "second page, changed again");
    versions = listPageVersions(1);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(readFileBytes(versions[0].path), "theirs");
    EXPECT_STREQ(occasionNote(versions[0].occasion), "Another program's copy");
    for (const PageVersion& version : versions)
        DeleteFileA(version.path.c_str());
    RemoveDirectoryA(elsewhere.c_str());
    DeleteFileA(dataPath("History\\Page1").c_str());
}

TEST_F(PageFiles, HistoryThatCannotBeMadeLeavesEverySaveAsItWas) {
    for (bool fileInItsPlace : {true, false}) {
        SCOPED_TRACE(fileInItsPlace ? "a file named History" : "a History that cannot be written");
        if (running())
            quit();
        removeFolder(dataPath("History"));
        DeleteFileA(dataPath("History").c_str());
        writePageBytes(0, "kept");
        if (fileInItsPlace) {
            writeFileBytes(dataPath("History"), "");
        } else {
            CreateDirectoryA(dataPath("History").c_str(), nullptr);
            LOCK_OR_SKIP(dataPath("History"));
        }
        start();
        typeText(" and more");
        command(IDM_SAVEPAGE);
        EXPECT_EQ(readFileBytes(pageFile(0)), "kept and more");
        EXPECT_EQ(tabCaption(0), "Page 1");
        EXPECT_NE(historyTrouble(0).since, 0u);
        EXPECT_NE(historyTrouble(0).reason, "");
        // A text that a special occasion replaces may be its only copy: no version, no save.
        EXPECT_FALSE(erasePage(0));
        EXPECT_EQ(readFileBytes(pageFile(0)), "kept and more");
        EXPECT_EQ(editorText(), "kept and more");
        EXPECT_NE(std::string(trayBalloon.szInfo).find("could not be kept in Previous Versions"),
                  std::string::npos);
        unlockFile(dataPath("History"));
    }
}

// A clock set back, or a version made where the clock ran ahead: the edits still make their
// versions, named after the newest, and none goes for its date.
TEST_F(PageFiles, VersionDatedAheadOfTheClockCostsNoVersion) {
    writePageBytes(0, "notes");
    writeFileBytes(versionsFolder(0) + versionNameAged(0 - 365 * DAY_IN_FILETIME), "a year ahead");
    start();
    typeText(", more");
    command(IDM_SAVEPAGE);
    typeText(" and more");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(versionTexts(0), (std::vector<std::string>{"notes", "a year ahead"}))
        << "the edits of ten minutes make one version";
}

// Erase all, or a page cut to nothing, leaves the versions of its old text the room they had.
TEST_F(PageFiles, VersionsOfALargePageKeepTheirRoomWhenItIsErased) {
    writePageBytes(1, std::string(9 << 20, 'x')); // 72 MB for its versions
    for (int hours = 1; hours <= 3; ++hours) {
        std::string name = versionsFolder(1) + versionNameAged(hours * 60 * MINUTE_IN_FILETIME);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = 30 << 20; // sparse, as large as the text of such a page
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    start();
    ASSERT_TRUE(erasePage(1));
    EXPECT_EQ(readFileBytes(pageFile(1)), "");
    std::vector<PageVersion> kept = listPageVersions(1);
    ASSERT_EQ(kept.size(), 3u) << "69 MB: the erased text and the two newest others";
    EXPECT_EQ(kept[0].size, 9u << 20);
    EXPECT_STREQ(occasionNote(kept[0].occasion), "Before Erase all");
}

TEST_F(PageFiles, PruningLooksOnlyAtThePageVersionedAndOnlyAtNamesItMakes) {
    const char* foreign[] = {"my own notes.txt", "20200101-000000-000-0badf00d.doc",
                             "20200101-000000-000-0BADF00D.txt",
                             "20200101-000000-000-0badf00d-x.txt"};
    writePageBytes(0, "page one");
    for (int page : {0, 1}) {
        std::string versions = versionsFolder(page);
        writeFileBytes(versions + versionNameAged(100 * DAY_IN_FILETIME), "too old");
        writeFileBytes(versions + versionNameAged(20 * DAY_IN_FILETIME, "00000001"), "a");
        writeFileBytes(versions + versionNameAged(20 * DAY_IN_FILETIME + 60 * MINUTE_IN_FILETIME),
                       "b");
        for (const char* name : foreign)
            writeFileBytes(versions + name, "not the program's");
    }
    start();
    typeText(" changed");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(versionTexts(0), (std::vector<std::string>{"page one", "a"}))
        << "the new version and the newest of the day 20 days ago";
    EXPECT_EQ(listPageVersions(1).size(), 3u) << "another page's versions are left alone";
    for (const char* name : foreign)
        EXPECT_TRUE(fileExists(dataPath("History\\Page0\\") + name)) << name;
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
    setDataFolder(longFolder.c_str());
    EXPECT_FALSE(formatPagePath(path, 0));
    EXPECT_FALSE(formatPagePath(path, 5)) << "only the five pages have files";
    setDataFolder("C:\\notes");
    ASSERT_TRUE(formatPagePath(path, 4));
    EXPECT_STREQ(path, "C:\\notes\\Data\\Page4.txt");
    FileStamp stamp;
    EXPECT_FALSE(replaceFileContents((std::string(300, 'x')).c_str(), "a", 1, stamp));
}

using PreviousVersions = DialogTest;

static std::string listText(HWND dialog, int row, int column) {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendDlgItemMessageA(dialog, IDC_VERSIONS_LIST, LVM_GETITEMTEXTA, row,
                        reinterpret_cast<LPARAM>(&item));
    return text;
}

static void typeOverEverything(const char* text) {
    SendMessageA(noteEditor, EM_SETSEL, 0, -1);
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

TEST_F(PreviousVersions, ListShowsAndRestoresByteForByteAndUndoTakesTheRestoreBack) {
    std::string odd = "odd bytes\r\nlone\rcr\nlf\r\r\n";
    for (int byte = 1; byte <= 0xFF; ++byte)
        odd += static_cast<char>(byte);
    writePageBytes(0, odd);
    start();
    HMENU windowMenu = GetSystemMenu(mainWindow, FALSE);
    int items = GetMenuItemCount(windowMenu);
    const std::vector<std::string> added = {"",       "Previous &Versions...", "",
                                            "T&heme", "Global &Hotkey...",     "Always on &Top"};
    for (size_t item = 0; item < added.size(); ++item)
        EXPECT_EQ(menuItemText(windowMenu, items - static_cast<int>(added.size() - item)),
                  added[item]);
    typeOverEverything("typed over");
    command(IDM_SAVEPAGE);
    // Another program's copy that comes in meanwhile is kept before the restore replaces it.
    replaceFromOutside(pageFile(0), "theirs");
    std::string shown;
    int listed = 0;
    driver.then([&](HWND dialog) {
        EXPECT_EQ(windowText(dialog), "Previous Versions - Page 1");
        listed = static_cast<int>(
            SendDlgItemMessageA(dialog, IDC_VERSIONS_LIST, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(
            SendDlgItemMessageA(dialog, IDC_VERSIONS_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 0);
        EXPECT_EQ(listText(dialog, 0, 1), std::to_string(odd.size()) + " bytes");
        EXPECT_EQ(listText(dialog, 0, 2), "odd bytes");
        shown = windowText(GetDlgItem(dialog, IDC_VERSIONS_VIEW));
        pressButton(dialog, IDC_VERSIONS_RESTORE);
    });
    SendMessageA(mainWindow, WM_SYSCOMMAND, IDM_PREVIOUSVERSIONS, 0);
    EXPECT_EQ(listed, 1);
    EXPECT_TRUE(shown == odd) << "the view shows the version as it is";
    EXPECT_TRUE(editorText() == odd);
    EXPECT_TRUE(readFileBytes(pageFile(0)) == odd);
    EXPECT_EQ(tabCaption(0), "Page 1");
    std::vector<PageVersion> versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 3u);
    EXPECT_EQ(readFileBytes(versions[0].path), "theirs") << "the text a restore replaces is kept";
    EXPECT_STREQ(occasionNote(versions[0].occasion), "Before a restore");
    EXPECT_EQ(readFileBytes(versions[1].path), "typed over");
    EXPECT_STREQ(occasionNote(versions[1].occasion), "Before a copy came in");
    SendMessageA(noteEditor, WM_COMMAND, IDM_UNDO, 0);
    EXPECT_EQ(editorText(), "theirs");
    EXPECT_EQ(tabCaption(0), "Page 1*");
}

TEST_F(PreviousVersions, EveryPageErasedComesBackFromItsVersion) {
    for (int page = 0; page < PAGE_COUNT; ++page)
        writePageBytes(page, "notes of page " + std::to_string(page + 1));
    start();
    HWND preferences = nullptr;
    driver.then([&](HWND dialog) {
        preferences = dialog;
        pressButton(dialog, IDC_PREF_CLEAR);
    });
    driver.then(answer(IDYES));
    driver.then([&](HWND box) {
        pressButton(box, IDOK);
        pressButton(preferences, IDC_PREF_CANCEL);
    });
    command(IDM_PREFERENCES);
    for (int page = 0; page < PAGE_COUNT; ++page) {
        clickTab(page);
        ASSERT_EQ(editorText(), "");
        std::string note;
        driver.then([&](HWND dialog) {
            note = listText(dialog, 0, 3);
            pressButton(dialog, IDC_VERSIONS_RESTORE);
        });
        SendMessageA(mainWindow, WM_SYSCOMMAND, IDM_PREVIOUSVERSIONS, 0);
        EXPECT_EQ(note, "Before Erase all");
        EXPECT_EQ(readFileBytes(pageFile(page)), "notes of page " + std::to_string(page + 1));
    }
}
