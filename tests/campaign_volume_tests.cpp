// File systems of the tests' own, mounted by tests/own_volumes_test.sh.
// Full disk: the install folder lies on a tiny file system that fills up during a save. The old
// file stays whole, the failure shows as the dirty marker that stays (the beep cannot be heard
// here), and the page is saved once there is room again.
// An exFAT stick: the program runs from a volume that makes no hard links, so every version is
// a copy, and a save still keeps each text it replaces.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/page_history.h"
#include "ui/current_page.h"
#include "ui/main_window.h"

#include <algorithm>

namespace {

// Where the wrapper mounted the volume named by the variable, as a Wine path; "" and the
// wrapper's reason where it could not.
std::string mountedVolume(const std::string& variable, std::string& refused) {
    char mountPoint[MAX_PATH] = {};
    if (!GetEnvironmentVariableA(variable.c_str(), mountPoint, sizeof mountPoint)) {
        char reason[512] = "run this test through tests/own_volumes_test.sh, as root";
        GetEnvironmentVariableA((variable + "_REFUSED").c_str(), reason, sizeof reason);
        refused = reason;
        return std::string();
    }
    std::string volume = std::string("Z:") + mountPoint;
    std::replace(volume.begin(), volume.end(), '/', '\\');
    return volume;
}

class FullDisk : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        std::string refused;
        disk = mountedVolume("JNOTES_SMALL_DISK", refused);
        if (disk.empty())
            GTEST_SKIP() << "small file system unavailable: " << refused;
        install = disk + "\\Jotty Notes";
        ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr)) << install;
        setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                         install + '\0');
    }
    void TearDown() override {
        if (running())
            quit();
        if (!install.empty()) {
            emptyDisk();
            removeFolder(install);
        }
        ProgramTest::TearDown();
    }

    std::string installFile(const std::string& name) const { return install + "\\Data\\" + name; }
    std::string filler() const { return disk + "\\filler"; }

    // Fills the file system up, then gives back about the given number of bytes.
    void fillDisk(DWORD leaveFree) {
        HANDLE file = CreateFileA(filler().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string chunk(65536, 'f');
        for (DWORD piece : {65536, 4096, 1}) {
            DWORD written = 0;
            while (WriteFile(file, chunk.data(), piece, &written, nullptr) && written == piece) {
            }
        }
        if (leaveFree > 0) {
            SetFilePointer(file, -static_cast<LONG>(leaveFree), nullptr, FILE_END);
            SetEndOfFile(file);
        }
        CloseHandle(file);
    }
    void emptyDisk() { DeleteFileA(filler().c_str()); }
    ULONGLONG freeBytes() const {
        ULARGE_INTEGER available = {};
        GetDiskFreeSpaceExA((disk + "\\").c_str(), &available, nullptr, nullptr);
        return available.QuadPart;
    }

    std::string disk;
    std::string install;
};

class ExFatStick : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        std::string refused;
        std::string stick = mountedVolume("JNOTES_EXFAT_STICK", refused);
        if (stick.empty())
            GTEST_SKIP() << "exFAT volume unavailable: " << refused;
        removeFolder(folder);
        folder = stick + "\\Jotty Notes";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
};

std::string notes(size_t size) {
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += "a line of notes that does not fit on the disk, number " + std::to_string(line) +
                "\r\n";
    return text;
}

} // namespace

TEST_F(FullDisk, PageSavedOnAFullDiskKeepsItsOldFileAndIsSavedOnceThereIsRoom) {
    start();
    ASSERT_EQ(std::string(installFolder), install);
    typeText("first version\r\n");
    command(IDM_SAVEPAGE);
    ASSERT_EQ(readFileBytes(installFile("Page0.txt")), "first version\r\n");
    std::string settings = readFileBytes(installFile("Settings.dat"));
    ASSERT_EQ(settings.size(), 124u);

    // No room at all, and room for the start of the new file only: the disk fills up during
    // the write.
    for (DWORD leaveFree : {0, 65536}) {
        SCOPED_TRACE(leaveFree);
        std::string added = notes(300000);
        typeText(added);
        ASSERT_NO_FATAL_FAILURE(fillDisk(leaveFree));
        ULONGLONG free = freeBytes();
        ASSERT_LT(free, added.size());
        if (leaveFree > 0) {
            ASSERT_GT(free, 0u) << "the write must begin and then run out of room";
        }
        command(IDM_SAVEPAGE);
        std::string page = readFileBytes(installFile("Page0.txt"));
        EXPECT_TRUE(page == "first version\r\n")
            << "the old page file holds " << page.size() << " bytes instead of its 15";
        EXPECT_FALSE(fileExists(installFile("Page0.tmp")));
        EXPECT_EQ(freeBytes(), free) << "the cut-off new file is removed";
        EXPECT_EQ(tabCaption(0), "Page 1*") << "a failed save never shows as saved";
        EXPECT_TRUE(editorText() == "first version\r\n" + added);

        clickTab(2);
        EXPECT_EQ(currentPage, 0) << "the page is not left while it cannot be saved";
        EXPECT_EQ(tabCaption(0), "Page 1*");
        EXPECT_EQ(readFileBytes(installFile("Settings.dat")), settings);
        ASSERT_TRUE(running());

        emptyDisk();
        command(IDM_SAVEPAGE);
        EXPECT_TRUE(readFileBytes(installFile("Page0.txt")) == "first version\r\n" + added);
        EXPECT_EQ(tabCaption(0), "Page 1");
        setEditorText("first version\r\n");
        command(IDM_SAVEPAGE);
    }
}

TEST_F(FullDisk, SettingsWrittenOnAFullDiskKeepTheirOldFile) {
    start();
    std::string settings = readFileBytes(installFile("Settings.dat"));
    ASSERT_EQ(settings.size(), 124u);
    ASSERT_EQ(settings.substr(0, 2), std::string("\0\0", 2));
    ASSERT_NO_FATAL_FAILURE(fillDisk(0));

    // The page holds nothing new, so the switch goes ahead; its settings write fails.
    clickTab(3);
    EXPECT_EQ(currentPage, 3);
    EXPECT_EQ(readFileBytes(installFile("Settings.dat")), settings);
    EXPECT_FALSE(fileExists(installFile("Settings.tmp")));
    ASSERT_TRUE(running());

    emptyDisk();
    clickTab(4);
    std::string written = readFileBytes(installFile("Settings.dat"));
    ASSERT_EQ(written.size(), 124u);
    EXPECT_EQ(written.substr(0, 2), std::string("\x04\0", 2));
    EXPECT_EQ(written.substr(2), settings.substr(2));
}

TEST_F(FullDisk, StartOnAFullDiskChangesNothing) {
    CreateDirectoryA((install + "\\Data").c_str(), nullptr);
    std::string image("\x02\x00\x01\x00", 4);
    for (int page = 1; page <= 5; ++page)
        image += "Notes " + std::to_string(page) + std::string(13, '\0');
    image += std::string(20, 'r');
    writeFileBytes(installFile("Settings.dat"), image);
    writeFileBytes(installFile("Page0.txt"), "page one");
    writeFileBytes(installFile("Page2.txt"), "page three");
    ASSERT_NO_FATAL_FAILURE(fillDisk(0));

    start();
    EXPECT_EQ(currentPage, 2);
    EXPECT_EQ(editorText(), "page three");
    EXPECT_EQ(tabCaption(2), "Notes 3") << "nothing was typed, so nothing is unsaved";
    quit();
    EXPECT_EQ(readFileBytes(installFile("Settings.dat")), image);
    EXPECT_EQ(readFileBytes(installFile("Page0.txt")), "page one");
    EXPECT_EQ(readFileBytes(installFile("Page2.txt")), "page three");
    EXPECT_FALSE(fileExists(installFile("Page0.tmp")));
    EXPECT_FALSE(fileExists(installFile("Page2.tmp")));
    EXPECT_FALSE(fileExists(installFile("Settings.tmp")));
}

TEST_F(ExFatStick, EveryTextASaveReplacesIsKeptAsACopy) {
    writePageBytes(0, "first text");
    ASSERT_FALSE(CreateHardLinkA(dataPath("link").c_str(), pageFile(0).c_str(), nullptr))
        << "the stick must be a volume without hard links";
    start();
    typeText(", changed");
    command(IDM_SAVEPAGE);
    typeText(" twice");
    command(IDM_SAVEPAGE);
    std::vector<PageVersion> versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 1u) << "the edits of ten minutes make one version";
    EXPECT_EQ(readFileBytes(versions[0].path), "first text");
    EXPECT_EQ(readFileBytes(pageFile(0)), "first text, changed twice");

    // Another program's copy renamed in during the write, where no link could set it aside.
    typeText(" and again");
    beforePageFileReplaced = [](const char* path) { replaceFromOutside(path, "theirs"); };
    command(IDM_SAVEPAGE);
    beforePageFileReplaced = nullptr;
    EXPECT_EQ(readFileBytes(pageFile(0)), "first text, changed twice and again");
    versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(readFileBytes(versions[0].path), "theirs");
    EXPECT_STREQ(occasionNote(versions[0].occasion), "Another program's copy");

    // A special occasion's save waits for its version, which is a copy here too.
    ASSERT_TRUE(erasePage(0));
    EXPECT_EQ(readFileBytes(pageFile(0)), "");
    versions = listPageVersions(0);
    ASSERT_EQ(versions.size(), 3u);
    EXPECT_EQ(readFileBytes(versions[0].path), "first text, changed twice and again");
    EXPECT_EQ(tabCaption(0), "Page 1");
    EXPECT_FALSE(fileExists(dataPath("Page0.tmp")));
}
