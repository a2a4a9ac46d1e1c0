// jnotes.exe itself, started as a process: the single running copy, the command line and the
// DLLs it loads.
#include "support/running_program.h"

#include "support/modal_driver.h"

#include <psapi.h>

namespace {

bool loadsDll(const Process& process, const char* dll) {
    HMODULE modules[512];
    DWORD bytes = 0;
    EnumProcessModules(process.handle, modules, sizeof modules, &bytes);
    for (DWORD i = 0; i < bytes / sizeof *modules && i < 512; ++i) {
        char name[MAX_PATH] = {};
        GetModuleBaseNameA(process.handle, modules[i], name, sizeof name);
        if (_stricmp(name, dll) == 0)
            return true;
    }
    return false;
}

// Whether a loaded module imports the DLL itself.
bool importsDll(HMODULE module, const char* dll) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports && entry->Name; ++entry)
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) == 0)
            return true;
    return false;
}

// Wine loads no DLL that an empty override of the program's own switches off, while it is there.
class DllSwitchedOff {
  public:
    explicit DllSwitchedOff(const char* dll) : dll(dll) {
        setRegistryValue(HKEY_CURRENT_USER, OVERRIDES, dll, REG_SZ, std::string(1, '\0'));
    }
    ~DllSwitchedOff() { deleteRegistryValue(HKEY_CURRENT_USER, OVERRIDES, dll); }
    DllSwitchedOff(const DllSwitchedOff&) = delete;
    DllSwitchedOff& operator=(const DllSwitchedOff&) = delete;

  private:
    static constexpr const char* OVERRIDES =
        "Software\\Wine\\AppDefaults\\jnotes.exe\\DllOverrides";
    const char* dll;
};

HWND waitForDialog(const char* caption) {
    HWND dialog = nullptr;
    pumpUntil(
        [&] {
            dialog = FindWindowA("#32770", caption);
            return dialog && IsWindowVisible(dialog);
        },
        20000);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

} // namespace

TEST_F(RunningProgram, SecondStartShowsTheHiddenWindowAndEnds) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    pumpUntil([] { return false; }, 300);
    EXPECT_FALSE(IsWindowVisible(window)) << "-minimize keeps the window hidden";
    EXPECT_TRUE(fileExists(folder + "\\Data\\Settings.dat"));

    Process second;
    ASSERT_TRUE(launch(second, "", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_EQ(FindWindowA(MAIN_WINDOW_CLASS, nullptr), window) << "still one running copy";

    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(FindWindowA(MAIN_WINDOW_CLASS, nullptr), nullptr);
}

TEST_F(RunningProgram, QuitSavesAndANewStartBecomesTheRunningCopy) {
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    typeIntoRunningCopy(window, "saved on exit");
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(folder + "\\Data\\Page0.txt"), "saved on exit");

    Process again;
    ASSERT_TRUE(launch(again, "", folder));
    HWND second = waitForMainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    PostMessageA(second, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(again), 0u);
}

// The DLLs that only Save As and About need are loaded when they open: a start and a save never
// pay for them.
TEST_F(RunningProgram, ExportAndAboutLoadTheirDllsWhenTheyOpen) {
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    typeIntoRunningCopy(window, "typed");
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_COMMAND, IDM_SAVEPAGE, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(readFileBytes(pageFile(0)), "typed");
    EXPECT_FALSE(loadsDll(first, "comdlg32.dll"));
    // Wine's own user32.dll imports version.dll: there every program has it from its start.
    EXPECT_EQ(loadsDll(first, "version.dll"),
              importsDll(GetModuleHandleA("user32.dll"), "version.dll"));

    PostMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = waitForDialog("About Jotty Notes");
    ASSERT_NE(about, nullptr);
    EXPECT_NE(windowText(GetDlgItem(about, IDC_ABOUT_TEXT)).find("Version  1.0.1  "),
              std::string::npos);
    EXPECT_TRUE(loadsDll(first, "version.dll"));
    EXPECT_FALSE(loadsDll(first, "comdlg32.dll"));
    pressButton(about, IDC_ABOUT_OK);

    PostMessageA(window, WM_COMMAND, IDM_EXPORTPAGE, 0);
    HWND saveAs = waitForDialog("Save As");
    ASSERT_NE(saveAs, nullptr);
    EXPECT_TRUE(loadsDll(first, "comdlg32.dll"));
    pressButton(saveAs, IDCANCEL);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(saveAs); }));
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(first), 0u);
}

// Where the DLL of Save As and Find cannot be loaded, the user is told so and neither opens; the
// program goes on as before. (Wine's user32.dll cannot do without version.dll, About's.)
TEST_F(RunningProgram, DialogsWhoseDllCannotBeLoadedSaySoAndDoNotOpen) {
    DllSwitchedOff comdlg32("comdlg32");
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    const struct {
        UINT command;
        const char* window;
    } cases[] = {{IDM_EXPORTPAGE, "Export"}, {IDM_FIND, "Find"}};
    for (const auto& c : cases) {
        PostMessageA(window, WM_COMMAND, c.command, 0);
        HWND box = waitForDialog("Jotty Notes");
        ASSERT_NE(box, nullptr) << c.window;
        std::string expected =
            std::string(c.window) +
            " cannot open, because the system's comdlg32.dll could not be loaded.";
        EXPECT_EQ(messageBoxText(box).substr(0, expected.size()), expected);
        EXPECT_EQ(GetWindow(box, GW_OWNER), window);
        pressButton(box, IDOK);
        EXPECT_TRUE(pumpUntil([&] { return !IsWindow(box); })) << c.window;
    }
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr) << "no dialog opened";
    typeIntoRunningCopy(window, "kept");
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
}
