// The setup program and its uninstaller, run as a user runs them, in a Wine prefix made afresh
// for each run (installer_test.sh): where the program goes, what the registry records, and
// that the notes survive a reinstall and an uninstall.
#include "support/running_program.h"

#include "platform/autostart.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {

const char* const UNINSTALL_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Jotty Notes";

std::string shellFolder(int id) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A REG_SZ value as stored, terminator included.
std::string stored(const std::string& text) {
    return text + '\0';
}

bool valueExists(HKEY root, const char* keyPath, const char* valueName) {
    bool found = false;
    readRegistryString(root, keyPath, valueName, &found);
    return found;
}

bool keyExists(HKEY root, const char* keyPath) {
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string editorText(HWND window) {
    char text[256] = {};
    SendMessageA(GetDlgItem(window, IDC_NOTEEDITOR), WM_GETTEXT, sizeof text,
                 reinterpret_cast<LPARAM>(text));
    return text;
}

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK matchClass(HWND child, LPARAM data) {
    auto search = reinterpret_cast<ChildSearch*>(data);
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, search->className) != 0)
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND findChild(HWND parent, const char* className) {
    ChildSearch search = {className, nullptr};
    EnumChildWindows(parent, matchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A top-level dialog by the start of its title (setup adds the page's own caption to it).
HWND findDialog(const std::string& titleStart) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr)
        if (windowText(window).compare(0, titleStart.size(), titleStart) == 0)
            return window;
    return nullptr;
}

// The user of the uninstaller's window: ticks the one choice of its first page (the space
// key toggles the selected item), presses Uninstall, and Close once it has finished.
class UninstallerUser {
  public:
    void operator()() {
        HWND window = findDialog("Jotty Notes Uninstall");
        HWND button = GetDlgItem(window, IDOK);
        if (!window || !IsWindowEnabled(button))
            return;
        if (!ticked) {
            HWND choices = findChild(window, "SysTreeView32");
            HTREEITEM item = TreeView_GetRoot(choices);
            if (!item)
                return;
            TreeView_SelectItem(choices, item);
            UINT before = TreeView_GetItemState(choices, item, TVIS_STATEIMAGEMASK);
            SendMessageA(choices, WM_CHAR, VK_SPACE, 0);
            ticked = TreeView_GetItemState(choices, item, TVIS_STATEIMAGEMASK) != before;
            if (ticked)
                pressButton(window, IDOK);
        } else if (windowText(button) == "&Close") {
            pressButton(window, IDOK);
            closed = true;
        }
    }
    bool ticked = false;
    bool closed = false;
};

// The user of setup's window: presses Install and then Finish, leaving "Start Jotty Notes"
// ticked as it comes, and quits the program that then starts.
class SetupUser {
  public:
    void operator()() {
        HWND program = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
        if (program) {
            started = true;
            PostMessageA(program, WM_COMMAND, IDM_EXIT, 0);
        }
        HWND button = GetDlgItem(findDialog("Jotty Notes Setup"), IDOK);
        std::string text = windowText(button);
        if (IsWindowEnabled(button) && text != pressed &&
            (text == "&Install" || text == "&Finish")) {
            pressButton(GetParent(button), IDOK);
            pressed = text;
        }
    }
    std::string pressed;
    bool started = false;
};

class Setup : public ::testing::Test {
  protected:
    void SetUp() override { otherFolder = makeTemporaryFolder(); }
    void TearDown() override {
        endProgram(program);
        removeFolder(otherFolder);
    }

    // "setup.exe /S", as from a command prompt.
    std::string setupProgram() const { return executableFolder() + "\\..\\dist\\" SETUP_NAME; }
    DWORD install() { return runToTheEnd(quoted(setupProgram()) + " /S"); }
    // The installed program, started hidden from a current folder that is not its own.
    HWND startInstalledProgram() {
        if (!launch(program, folder + "\\jnotes.exe", "-minimize", otherFolder))
            return nullptr;
        return waitForMainWindow();
    }
    std::string dataFile(const char* name) const { return folder + "\\Data\\" + name; }

    const std::string folder = shellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Jotty Notes";
    std::string otherFolder;
    Process program;
};

} // namespace

TEST_F(Setup, InstallsForTheUserAndKeepsTheNotesOverAReinstall) {
    ASSERT_EQ(install(), 0u);
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE),
              stored(folder));
    EXPECT_TRUE(fileExists(folder + "\\jnotes.exe"));
    EXPECT_TRUE(fileExists(shellFolder(CSIDL_PROGRAMS) + "\\Jotty Notes.lnk"));
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, UNINSTALL_KEY, "DisplayName"),
              stored("Jotty Notes"));
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, UNINSTALL_KEY, "DisplayVersion"),
              stored(VERSION));
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, UNINSTALL_KEY, "Publisher"),
              stored("Kestrova"));
    EXPECT_EQ(readRegistryString(HKEY_CURRENT_USER, UNINSTALL_KEY, "UninstallString"),
              stored(quoted(folder + "\\uninst.exe")));
    EXPECT_TRUE(fileExists(folder + "\\uninst.exe"));

    HWND window = startInstalledProgram();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return fileExists(dataFile("Settings.dat")); }));
    EXPECT_FALSE(fileExists(otherFolder + "\\Data")) << "not in the current folder";
    EXPECT_EQ(readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes"),
              stored(quoted(folder + "\\jnotes.exe") + " -minimize"));

    // Setup asks the running copy to quit, which saves its page on the way out.
    typeIntoRunningCopy(window, "kept over a reinstall");
    std::string settings = readFileBytes(dataFile("Settings.dat"));
    ASSERT_EQ(install(), 0u);
    EXPECT_EQ(waitForExit(program, 0), 0u);
    EXPECT_EQ(readFileBytes(dataFile("Page0.txt")), "kept over a reinstall");
    EXPECT_EQ(readFileBytes(dataFile("Settings.dat")), settings);

    Process again;
    ASSERT_TRUE(launch(again, folder + "\\jnotes.exe", "-minimize", otherFolder));
    window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(editorText(window), "kept over a reinstall");
    endProgram(again);
}

TEST_F(Setup, StartsTheProgramWhenItFinishes) {
    SetupUser user;
    ASSERT_EQ(runToTheEnd(quoted(setupProgram()), std::ref(user)), 0u);
    EXPECT_EQ(user.pressed, "&Finish");
    EXPECT_TRUE(user.started);
}

TEST_F(Setup, SilentUninstallRemovesTheProgramAndItsValuesAndKeepsTheNotes) {
    ASSERT_EQ(install(), 0u);
    HWND window = startInstalledProgram();
    ASSERT_NE(window, nullptr);
    // The Preferences entry, and both entries as written under HKCU when HKLM refuses.
    setRegistryValue(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, PREFERENCES_RUN_VALUE, REG_SZ, "x");
    setRegistryValue(HKEY_CURRENT_USER, RUN_KEY_PATH, "Jotty Notes", REG_SZ, "x");
    setRegistryValue(HKEY_CURRENT_USER, RUN_KEY_PATH, PREFERENCES_RUN_VALUE, REG_SZ, "x");
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, TEXT_SIZE_VALUE, REG_DWORD,
                     std::string("\x0C\0\0\0", 4));
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, WINDOW_PLACE_VALUE, REG_BINARY, "x");
    // Cut to less than half its length, the text is kept as a version however recent the last.
    const char* earlier = "words of an earlier day, more than twice as long as the page after";
    typeIntoRunningCopy(window, earlier);
    SendMessageA(window, WM_COMMAND, IDM_SAVEPAGE, 0);
    typeIntoRunningCopy(window, "kept after the uninstall");

    ASSERT_EQ(runToTheEnd(quoted(folder + "\\uninst.exe") + " /S"), 0u);
    EXPECT_EQ(waitForExit(program, 0), 0u) << "the running copy was asked to quit";
    EXPECT_FALSE(fileExists(folder + "\\jnotes.exe"));
    EXPECT_FALSE(fileExists(folder + "\\uninst.exe"));
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_PROGRAMS) + "\\Jotty Notes.lnk"));
    for (const char* value : {INSTALLED_PATH_VALUE, TEXT_SIZE_VALUE, WINDOW_PLACE_VALUE})
        EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, INSTALL_KEY_PATH, value)) << value;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(valueExists(root, RUN_KEY_PATH, "Jotty Notes"));
        EXPECT_FALSE(valueExists(root, RUN_KEY_PATH, PREFERENCES_RUN_VALUE));
    }
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, UNINSTALL_KEY));
    EXPECT_EQ(readFileBytes(dataFile("Page0.txt")), "kept after the uninstall");
    EXPECT_TRUE(fileExists(dataFile("Settings.dat")));
    WIN32_FIND_DATAA found;
    HANDLE version = FindFirstFileA(dataFile("History\\Page0\\*.txt").c_str(), &found);
    bool kept = false;
    for (bool more = version != INVALID_HANDLE_VALUE; more; more = FindNextFileA(version, &found))
        kept |= readFileBytes(dataFile("History\\Page0\\") + found.cFileName) == earlier;
    FindClose(version);
    EXPECT_TRUE(kept) << "the previous versions are the user's too";
}

TEST_F(Setup, UninstallDeletesTheNotesWhenTheUserTicksIt) {
    ASSERT_EQ(install(), 0u);
    HWND window = startInstalledProgram();
    ASSERT_NE(window, nullptr);
    endProgram(program);
    ASSERT_TRUE(fileExists(dataFile("Page0.txt")));

    UninstallerUser user;
    ASSERT_EQ(runToTheEnd(quoted(folder + "\\uninst.exe"), std::ref(user)), 0u);
    EXPECT_TRUE(user.ticked);
    EXPECT_TRUE(user.closed);
    EXPECT_FALSE(fileExists(folder)) << "the install folder is gone with the notes";
    for (const char* value : {INSTALLED_PATH_VALUE, TEXT_SIZE_VALUE, WINDOW_PLACE_VALUE})
        EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, INSTALL_KEY_PATH, value)) << value;
}
