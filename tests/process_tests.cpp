// jnotes.exe itself, started as a process: the single running copy, the command line, a second
// copy's requests, text set from another process, and the DLLs it loads.
#include "support/running_program.h"

#include "support/modal_driver.h"
#include "ui/tray_icon.h"

#include <algorithm>
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
    waitUntilHandled(window);
    EXPECT_FALSE(IsWindowVisible(window)) << "-minimize keeps the window hidden";
    EXPECT_TRUE(fileExists(folder + "\\Data\\Settings.dat"));
    // The shell has lost the icon: a second start has the running copy hand it over again.
    NotifyIconDataV1 icon = {sizeof icon, window, IDI_NOTES, 0, 0, nullptr, {}};
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAA*>(&icon)));

    Process second;
    ASSERT_TRUE(launch(second, "", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
    waitUntilHandled(window);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAA*>(&icon)));
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

// Automation and accessibility tools set the editor's whole text from their own process, and a
// multi-line edit control reports no change for that: it is the user's text all the same.
TEST_F(RunningProgram, TextSetByAnotherProgramIsSavedOnEveryOccasion) {
    writePageBytes(0, "old notes");
    ASSERT_TRUE(launch(first, "", folder));
    HWND window = waitForMainWindow();
    HWND tabs = GetDlgItem(window, IDC_TABSTRIP);
    const struct {
        const char* name;
        std::function<void()> save;
        std::function<void()> back;
    } occasions[] = {
        {"Ctrl+S", [&] { SendMessageA(window, WM_COMMAND, IDM_SAVEPAGE, 0); }, [] {}},
        {"the autosave", [&] { SendMessageA(window, WM_TIMER, IDT_AUTOSAVE, 0); }, [] {}},
        {"a switch", [&] { SendMessageA(tabs, WM_KEYDOWN, VK_RIGHT, 0); },
         [&] { SendMessageA(tabs, WM_KEYDOWN, VK_LEFT, 0); }},
        {"hiding", [&] { SendMessageA(window, WM_CLOSE, 0, 0); },
         [&] { SendMessageA(window, WM_COMMAND, IDM_OPEN, 0); }},
    };
    for (const auto& occasion : occasions) {
        SCOPED_TRACE(occasion.name);
        std::string text = std::string("set by another program before ") + occasion.name;
        typeIntoRunningCopy(window, text.c_str());
        EXPECT_EQ(tabCaptionOf(window, 0), "Page 1*");
        occasion.save();
        EXPECT_TRUE(pumpUntil([&] { return readFileBytes(pageFile(0)) == text; }))
            << readFileBytes(pageFile(0));
        occasion.back();
        EXPECT_EQ(tabCaptionOf(window, 0), "Page 1");
        char shown[100] = {};
        SendMessageA(GetDlgItem(window, IDC_NOTEEDITOR), WM_GETTEXT, sizeof shown,
                     reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(shown, text);
    }
}

// The dialogs of every process shown with the caption.
std::vector<HWND> shownDialogs(const std::string& caption) {
    std::vector<HWND> dialogs = shownWindows("#32770", true);
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(),
                                 [&](HWND dialog) { return windowText(dialog) != caption; }),
                  dialogs.end());
    return dialogs;
}

TEST_F(RunningProgram, SecondMinimizedStartLeavesTheWindowHidden) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    Process second;
    ASSERT_TRUE(launch(second, "-minimize", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    waitUntilHandled(window);
    EXPECT_FALSE(IsWindowVisible(window));
}

// The request comes after a dialog that is open, never inside it; a quit sent meanwhile, as
// setup sends it, saves the page and ends the program.
TEST_F(RunningProgram, SecondStartWithPreferencesOpensTheDialogOfTheRunningCopy) {
    ASSERT_TRUE(launch(first, "-minimize", folder));
    HWND window = waitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, IDM_ABOUT, 0);
    ASSERT_TRUE(pumpUntil([] { return !shownDialogs("About Jotty Notes").empty(); }, 20000));
    Process second;
    ASSERT_TRUE(launch(second, "-preferences", folder));
    EXPECT_EQ(waitForExit(second), 0u);
    waitUntilHandled(window);
    EXPECT_EQ(shownDialogs("Preferences...").size(), 0u) << "not inside About";
    PostMessageA(shownDialogs("About Jotty Notes").at(0), WM_CLOSE, 0, 0);
    std::vector<HWND> dialogs;
    ASSERT_TRUE(
        pumpUntil([&] { return !(dialogs = shownDialogs("Preferences...")).empty(); }, 20000));
    EXPECT_EQ(GetWindow(dialogs[0], GW_OWNER), window);
    EXPECT_TRUE(IsWindowVisible(window));

    Process third;
    ASSERT_TRUE(launch(third, "-minimize -preferences", folder));
    EXPECT_EQ(waitForExit(third), 0u);
    waitUntilHandled(window);
    EXPECT_EQ(shownDialogs("Preferences...").size(), 1u)
        << "the open dialog is brought forward, not opened twice";

    typeIntoRunningCopy(window, "kept");
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_COMMAND, IDM_EXIT, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(waitForExit(first), 0u);
    EXPECT_EQ(readFileBytes(pageFile(0)), "kept");
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
