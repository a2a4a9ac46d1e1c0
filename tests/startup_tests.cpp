// Start-up: the command line, the install folder, the start-up Run value, the window, and the
// manifest that Windows starts the program by.
#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "platform/autostart.h"
#include "platform/registry_helper.h"
#include "ui/main_window.h"

TEST(CommandLine, TokensAreSplitAtEverySingleSpace) {
    struct Case {
        const char* line;
        bool minimize;
        bool preferences;
    } cases[] = {
        {"", false, false},
        {"-minimize", true, false},
        {"-preferences", false, true},
        {"-preferences -minimize", true, true},
        {"-minimize -preferences -minimize", true, true},
        {"  -minimize  ", true, false},
        {"-Minimize", false, false},
        {"/minimize", false, false},
        {"--minimize", false, false},
        {"\"-minimize\"", false, false},
        {"-minimize\t-preferences", false, false},
        {"-minimized", false, false},
    };
    for (const Case& c : cases) {
        CommandLineOptions options = readCommandLineOptions(c.line);
        EXPECT_EQ(options.minimize, c.minimize) << '"' << c.line << '"';
        EXPECT_EQ(options.preferences, c.preferences) << '"' << c.line << '"';
    }
    EXPECT_EQ(splitCommandLine("a  b").size(), 3u);
    EXPECT_EQ(splitCommandLine("").size(), 1u);
}

TEST(LaunchCommand, QuotesTheInstalledProgram) {
    char command[300];
    ASSERT_TRUE(formatLaunchCommand(command, "C:\\Program Files\\Jotty Notes"));
    EXPECT_STREQ(command, "\"C:\\Program Files\\Jotty Notes\\jnotes.exe\" -minimize");
    EXPECT_FALSE(formatLaunchCommand(command, std::string(290, 'x').c_str()));
}

using InstallFolder = ProgramTest;

TEST_F(InstallFolder, ComesFromTheRegistryOrElseTheCurrentDirectory) {
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    readInstallFolder();
    EXPECT_STREQ(installFolder, current) << "no InstalledPath value";

    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     std::string("C:\\Somewhere Else\0", 18));
    readInstallFolder();
    EXPECT_STREQ(installFolder, "C:\\Somewhere Else");

    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_EXPAND_SZ,
                     std::string("C:\\Expanded\0", 12));
    readInstallFolder();
    EXPECT_STREQ(installFolder, current) << "REG_EXPAND_SZ is refused";

    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_SZ,
                     std::string(300, 'L') + '\0');
    readInstallFolder();
    EXPECT_STREQ(installFolder, current) << "a value longer than the buffer";

    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE, REG_DWORD,
                     std::string("\x01\x00\x00\x00", 4));
    readInstallFolder();
    EXPECT_STREQ(installFolder, current);
}

TEST(Registry, QueryReportsItsFailures) {
    RegistryHelper registry;
    DWORD size = 10;
    EXPECT_THROW(
        {
            try {
                registry.queryStringValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, "x", nullptr, &size);
            } catch (const RegistryException& e) {
                EXPECT_EQ(e.code, 4u);
                throw;
            }
        },
        RegistryException);
    setRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, "Long", REG_SZ,
                     std::string(40, 'a') + '\0');
    char buffer[10];
    size = sizeof buffer;
    EXPECT_FALSE(
        registry.queryStringValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, "Long", buffer, &size));
    EXPECT_EQ(size, 41u) << "the size the registry reported";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
    deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, "Long");
    EXPECT_FALSE(registry.deleteValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, "Long"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(registry.setStringValue(HKEY_CURRENT_USER, "Software\\No\\Such\\Key", "v", "t"));
}

using StartupRunValue = ProgramTest;

TEST_F(StartupRunValue, FollowsTheOption) {
    start();
    std::string expected = "\"" + folder + "\\jnotes.exe\" -minimize";
    bool found = false;
    EXPECT_EQ(readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes", &found),
              expected + '\0');
    EXPECT_TRUE(found);
    quit();

    std::string image = readFileBytes(folder + "\\Data\\Settings.dat");
    image[2] = 0;
    writeSettingsBytes(image);
    restart();
    readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, "Jotty Notes", &found);
    EXPECT_FALSE(found);
    readRegistryString(HKEY_LOCAL_MACHINE, RUN_KEY_PATH, PREFERENCES_RUN_VALUE, &found);
    EXPECT_FALSE(found) << "start-up leaves the other Run value alone";
}

using MainWindowStart = ProgramTest;

TEST_F(MainWindowStart, IsCentredAndShown) {
    start();
    RECT rect;
    GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(rect.right - rect.left, 450);
    EXPECT_EQ(rect.bottom - rect.top, 480);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 225);
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 240);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_EQ(windowText(mainWindow), "Jotty Notes");
    char className[32];
    GetClassNameA(mainWindow, className, sizeof className);
    EXPECT_STREQ(className, "CLS_jNotes");
    EXPECT_EQ(GetDlgCtrlID(noteEditor), IDC_NOTEEDITOR);
    EXPECT_EQ(GetDlgCtrlID(tabStrip), IDC_TABSTRIP);
    EXPECT_TRUE(KillTimer(mainWindow, IDT_AUTOSAVE)) << "the autosave timer runs";
    SetTimer(mainWindow, IDT_AUTOSAVE, AUTOSAVE_PERIOD, nullptr);
}

TEST_F(MainWindowStart, MinimizeOptionKeepsTheWindowHidden) {
    start("-minimize");
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_FALSE(windowVisible);
    EXPECT_FALSE(KillTimer(mainWindow, IDT_AUTOSAVE)) << "the autosave timer is stopped";
    EXPECT_TRUE(fileExists(pageFile(0)));
}

TEST_F(MainWindowStart, QuitEndsWithCodeZeroAndReleasesTheMutex) {
    start();
    EXPECT_EQ(quit(), 0);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Jotty Notes");
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(mutex);
}

TEST(Manifest, RunsAsInvokerSharpAndStyledOnEverySupportedWindows) {
    HMODULE program = LoadLibraryExA((executableFolder() + "\\jnotes.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceA(program, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
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
    // Sharp at every scale and in the system's visual style.
    for (const char* entry :
         {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2, PerMonitor<",
          "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "publicKeyToken=\"6595b64144ccf1df\""})
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
}
