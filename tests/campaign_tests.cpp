// Hostile stored data, hostile surroundings and long use: whatever happens, start-up stays
// within the five pages, the settings file is whole, and no note on disk is lost.
// Suites named Long* form the longer part of the campaign.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "storage/settings.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"
#include "ui/tray_icon.h"

#include <psapi.h>
#include <random>
#include <set>

namespace {

// The process's committed private memory. (Wine reports no GDI or USER object counts, so
// handles are checked one by one where they are released.)
SIZE_T committedBytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return memory.PagefileUsage;
}

class Campaign : public ProgramTest {
  protected:
    // Start-up on whatever the settings file holds stays within the five pages.
    void startOnSettings(const std::string& bytes) {
        if (running())
            quit();
        writeSettingsBytes(bytes);
        restart();
        ASSERT_TRUE(running());
        EXPECT_GE(currentPage, 0);
        EXPECT_LT(currentPage, 5);
        EXPECT_EQ(selectedTab(), currentPage);
        for (int page = 0; page < 5; ++page)
            EXPECT_LE(tabCaption(page).size(), 19u);
        EXPECT_EQ(readFileBytes(settingsFile()).size(), 124u);
    }
};

std::string randomBytes(std::mt19937& random, size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

} // namespace

TEST_F(Campaign, SettingsFilesOfTellingLengths) {
    std::mt19937 random(7);
    for (size_t length : {0, 1, 2, 3, 4, 23, 24, 123, 124, 125, 300})
        startOnSettings(randomBytes(random, length));
}

TEST_F(Campaign, SettingsWithOutOfRangeValues) {
    std::string image(124, 'A'); // no name has its NUL
    for (int16_t startPage : {-32768, -1, 5, 6, 4, 32767}) {
        memcpy(&image[0], &startPage, 2);
        image[2] = static_cast<char>(0xFE);
        image[3] = static_cast<char>(0x80);
        startOnSettings(image);
        EXPECT_EQ(currentPage, startPage == 4 ? 4 : 0);
        EXPECT_EQ(tabCaption(0), std::string(19, 'A'));
    }
}

TEST_F(Campaign, PageFilesWithOddBytesRoundTrip) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const std::string pages[] = {"", "\r", "\n\n\n", "lone\rcr and lone\nlf", everyByte};
    for (int page = 0; page < 5; ++page)
        writePageBytes(page, pages[page]);
    start();
    for (int page = 0; page < 5; ++page) {
        clickTab(page);
        EXPECT_EQ(editorText(), pages[page]) << page;
    }
    clickTab(0);
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(readFileBytes(pageFile(page)), pages[page]) << page;
}

TEST_F(Campaign, InstalledPathMissingEmptyOrDeep) {
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     std::string("C:\\no\\such\\folder", 18) + '\0');
    start();
    typeText("kept in the editor");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(tabCaption(0), "Page 1*") << "a folder that does not exist cannot take the page";
    EXPECT_EQ(editorText(), "kept in the editor");
    EXPECT_FALSE(fileExists("C:\\no\\such\\folder\\Data\\Page0.txt"));

    std::string deep = folder;
    while (deep.size() < 240)
        deep += "\\" + std::string(std::min<size_t>(40, 240 - deep.size() - 1), 'd');
    ASSERT_EQ(deep.size(), 240u);
    for (size_t slash = deep.find('\\', folder.size()); slash != std::string::npos;
         slash = deep.find('\\', slash + 1))
        CreateDirectoryA(deep.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(deep.c_str(), nullptr);
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     deep + '\0');
    {
        ModalDriver driver;
        driver.then(answer(IDYES));
        restart();
        EXPECT_EQ(driver.seenTexts.size(), 1u) << "quitting with unsaved text asks first";
    }
    typeText("deep notes");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(deep + "\\Data\\Page0.txt"), "deep notes");

    std::string tooDeep = deep + "\\0123456789";
    CreateDirectoryA(tooDeep.c_str(), nullptr);
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     tooDeep + '\0');
    restart();
    EXPECT_EQ(std::string(installFolder), folder) << "a folder too long for its files is refused";
    typeText("no overrun");
    command(IDM_SAVEPAGE);
    EXPECT_EQ(readFileBytes(pageFile(0)), "no overrun");
    quit();

    // An empty value is taken as it stands: the Data folder at the root of the drive.
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     std::string(1, '\0'));
    char drive[MAX_PATH];
    GetCurrentDirectoryA(sizeof drive, drive);
    std::string rootData = std::string(drive, 2) + "\\Data";
    bool hadRootData = fileExists(rootData);
    restart();
    EXPECT_STREQ(installFolder, "");
    EXPECT_TRUE(fileExists(rootData + "\\Settings.dat"));
    quit();
    if (!hadRootData)
        removeFolder(rootData);
}

TEST_F(Campaign, HostileCommandLines) {
    std::mt19937 random(11);
    std::string odd = randomBytes(random, 2000);
    std::replace(odd.begin(), odd.end(), '\0', ' ');
    const std::string lines[] = {std::string(32768, ' '), std::string(32767, 'x'), odd,
                                 "-minimize" + std::string(3, '\xff') + " -minimize"};
    for (const std::string& line : lines) {
        restart(line.c_str());
        EXPECT_TRUE(running());
    }
    EXPECT_FALSE(windowVisible) << "the last line holds -minimize as a token";
}

TEST_F(Campaign, RepeatedTaskbarCreatedLeaksNothing) {
    start();
    std::set<HICON> icons;
    for (int i = 0; i < 500; ++i) {
        SendMessageA(mainWindow, taskbarCreatedMessage, 0, 0);
        icons.insert(trayIcon.data.hIcon);
    }
    // Each icon taken from the shell is released: only the one shown is still alive.
    int alive = 0;
    for (HICON icon : icons) {
        ICONINFO info;
        if (GetIconInfo(icon, &info)) {
            ++alive;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    EXPECT_EQ(alive, 1);
    EXPECT_TRUE(trayIcon.added);
    EXPECT_STREQ(trayIcon.data.szTip, "Jotty Notes");
}

// Suspend and the end of the session save the page in every window state; the end of the
// session then ends the program.
TEST_F(Campaign, SessionEndAndSuspendSaveInEveryWindowState) {
    for (std::string state : {"shown", "minimised", "hidden"}) {
        restart();
        if (state == "minimised")
            ShowWindow(mainWindow, SW_MINIMIZE);
        if (state == "hidden")
            SendMessageA(mainWindow, WM_CLOSE, 0, 0);
        const struct {
            UINT message;
            WPARAM wParam;
        } endings[] = {
            {WM_POWERBROADCAST, PBT_APMSUSPEND}, {WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, TRUE}};
        for (const auto& ending : endings) {
            std::string text = state + " " + std::to_string(ending.message);
            setEditorText(text);
            SendMessageA(mainWindow, ending.message, ending.wParam, 0);
            EXPECT_EQ(readFileBytes(pageFile(0)), text);
        }
        EXPECT_FALSE(running()) << state;
        EXPECT_EQ(runToExit(), 0);
    }
}

TEST_F(Campaign, LongSettingsFilesOfEveryLengthAndRandomContent) {
    std::mt19937 random(2026);
    for (size_t length = 0; length <= 300; ++length)
        startOnSettings(randomBytes(random, length));
    for (int seed = 0; seed < 200; ++seed)
        startOnSettings(randomBytes(random, 124));
}

TEST_F(Campaign, LongFiftyMegabytePageLoadsAndSavesWhole) {
    std::string big;
    big.reserve(50u << 20);
    for (int line = 0; big.size() < (50u << 20); ++line)
        big +=
            "line " + std::to_string(line) + ": a fairly long line of notes to fill the page\r\n";
    writePageBytes(1, big);
    start();
    clickTab(1);
    ASSERT_EQ(GetWindowTextLengthA(noteEditor), static_cast<int>(big.size()));
    command(IDM_SAVEPAGE);
    EXPECT_TRUE(readFileBytes(pageFile(1)) == big);
}

// Thousands of mixed actions against a model of what each page file must hold.
TEST_F(Campaign, LongSessionMatchesTheModelAndLeaksNothing) {
    std::mt19937 random(99);
    std::string model[5];
    std::string onDisk[5];
    start();
    SIZE_T atThousand = 0;
    const int actions = 4000;
    for (int action = 1; action <= actions; ++action) {
        switch (random() % 8) {
            case 0:
            case 1:
            case 2: {
                std::string text = "w" + std::to_string(action) + (random() % 4 ? " " : "\r\n");
                typeText(text);
                model[currentPage] += text;
                break;
            }
            case 3: {
                int page = static_cast<int>(random() % 5);
                clickTab(page);
                ASSERT_EQ(currentPage, page);
                ASSERT_EQ(editorText(), model[page]) << "action " << action;
                break;
            }
            case 4: command(IDM_SAVEPAGE); break;
            case 5:
                SendMessageA(mainWindow, WM_CLOSE, 0, 0);
                command(IDM_OPEN);
                break;
            case 6: recreateEditor(!editorWraps()); break;
            case 7: SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0); break;
        }
        if (action == 1000)
            atThousand = committedBytes();
    }
    SIZE_T atEnd = committedBytes();
    EXPECT_EQ(quit(), 0);
    for (int page = 0; page < 5; ++page) {
        onDisk[page] = readFileBytes(pageFile(page));
        EXPECT_TRUE(onDisk[page] == model[page]) << "page " << page;
    }
    ASSERT_GT(atThousand, 0u);
    EXPECT_LE(atEnd, atThousand + (4u << 20));
    printf("long session: %d actions; committed memory %lu KB after 1000, %lu KB at the end\n",
           actions, static_cast<unsigned long>(atThousand >> 10),
           static_cast<unsigned long>(atEnd >> 10));
}
