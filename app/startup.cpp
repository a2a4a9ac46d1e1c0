#include "app/startup.h"

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/program_state.h"
#include "app/startup_steps.h"
#include "platform/autostart.h"
#include "platform/registry_helper.h"
#include "platform/system_message.h"
#include "res/resource.h"
#include "storage/data_folder.h"
#include "storage/page_files.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/dpi.h"
#include "ui/find.h"
#include "ui/global_hotkey.h"
#include "ui/main_window.h"
#include "ui/modal.h"
#include "ui/page_notices.h"
#include "ui/tab_strip.h"
#include "ui/tray_icon.h"
#include "ui/window_moves.h"
#include "ui/window_view.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct StartupState {
    HACCEL acceleratorTable = nullptr;
    HACCEL moreKeys = nullptr;
    HACCEL editingKeys = nullptr;
    HICON classIcon = nullptr;
    HICON classSmallIcon = nullptr;
};

} // namespace

static ProgramState<StartupState> startup;

const char* const INSTALLED_PATH_VALUE = "InstalledPath";

void readInstallFolder() {
    ZeroMemory(installFolder, sizeof installFolder);
    DWORD size = sizeof installFolder;
    bool found = false;
    try {
        found = RegistryHelper().queryStringValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH,
                                                  INSTALLED_PATH_VALUE, installFolder, &size);
    } catch (const RegistryException&) {
    }
    // A folder whose files' paths would not fit is refused like a missing value.
    if (!found || !dataFolderFits(installFolder)) {
        ZeroMemory(installFolder, sizeof installFolder);
        GetCurrentDirectoryA(sizeof installFolder, installFolder);
    }
    setDataFolder(installFolder);
}

static void showErrorBox(HWND owner, const char* text) {
    char message[255] = {};
    if (text) {
        snprintf(message, sizeof message, "%s", text);
    } else {
        DWORD code = GetLastError();
        std::string description = systemMessage(code);
        if (description.empty())
            description = "No description is known for this error.";
        snprintf(message, sizeof message, "Error %d: %s\r\n", static_cast<int>(code),
                 description.c_str());
    }
    messageBox(owner, message, "Error", MB_ICONERROR);
}

// Sets openPreferencesAtStart and clears windowVisible as the options ask.
static void parseCommandLine(const char* commandLine) {
    CommandLineOptions options = readCommandLineOptions(commandLine ? commandLine : "");
    if (options.preferences)
        openPreferencesAtStart = true;
    if (options.minimize)
        windowVisible = false;
}

void bringRunningCopyForward(HWND runningWindow, bool preferences) {
    ShowWindow(runningWindow, SW_SHOW);
    bringWindowForward(runningWindow);
    // The running copy shows its window through its own path too, so that its autosave
    // timer runs again; it may bring its Preferences dialog to the front, as this copy may.
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(runningWindow, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    PostMessageA(runningWindow, WM_COMMAND, IDM_OPEN, 0);
    if (preferences)
        PostMessageA(runningWindow, WM_COMMAND, IDM_PREFERENCES, 0);
}

// A second copy brings the running copy's window forward and passes its request on. At log-on
// both Run values start a copy with "-minimize" at once, and the second of them must not show
// the window that the first keeps hidden.
static void handOverToRunningCopy(const CommandLineOptions& options) {
    mainWindow = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    if (!mainWindow)
        return;
    if (!options.minimize || options.preferences)
        bringRunningCopyForward(mainWindow, options.preferences);
    // The running copy hands its icon to the shell once more, from its own resources.
    PostMessageA(mainWindow, WM_SHOWTRAYICONAGAIN, 0, 0);
}

static bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    startup.classIcon = loadIcon(IDI_NOTES, false, systemDpi());
    startup.classSmallIcon = loadIcon(IDI_NOTES, true, systemDpi());
    windowClass.hIcon = startup.classIcon;
    windowClass.hIconSm = startup.classSmallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

static HWND createMainWindow(HINSTANCE instance) {
    bool maximized = false;
    RECT place = firstWindowRect(maximized);
    return CreateWindowExA(0, MAIN_WINDOW_CLASS, appCaption, WS_OVERLAPPEDWINDOW, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, nullptr,
                           nullptr, instance, nullptr);
}

// The start page is shown; when its file cannot be read, the first page that can be is, for this
// run only: the start page stays the user's.
static void showStartPage() {
    int startPage = settings.startPage;
    selectTab(startPage);
    if (showPage(startPage) != PageSwitch::NotRead)
        return;
    for (int page = 0; page < PAGE_COUNT; ++page) {
        if (page != startPage && showPage(page, false) == PageSwitch::Shown) {
            selectTab(page);
            return;
        }
    }
}

StartResult startProgram(HINSTANCE instance, const char* commandLine) {
    ProgramStateLink::startAllAfresh();
    instanceHandle = instance;
    LoadStringA(instanceHandle, IDS_APP_CAPTION, appCaption, sizeof appCaption);
    parseCommandLine(commandLine);
    singleInstanceMutex = CreateMutexA(nullptr, TRUE, appCaption);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        handOverToRunningCopy(readCommandLineOptions(commandLine ? commandLine : ""));
        return StartResult::SecondCopy;
    }
    readInstallFolder();
    endStartupStep("install_folder");
    createDataFolder();
    loadSettings();
    saveSettings();
    endStartupStep("settings_file");
    // Defaults that stand in for an unreadable settings file change no Run value.
    if (!settingsFileUnread())
        applyStartupRunValue(settings.autoStart != 0);
    endStartupStep("run_value");

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (!registerMainWindowClass(instance)) {
        showErrorBox(nullptr, nullptr);
        return StartResult::Failed;
    }
    endStartupStep("window_class_and_icons");
    mainWindow = createMainWindow(instance);
    if (!mainWindow) {
        showErrorBox(nullptr, nullptr);
        return StartResult::Failed;
    }
    endStartupStep("window_created");
    // Page 0's file exists from the first start on.
    createMissingPageFile(0);
    showStartPage();
    endStartupStep("start_page");
    // A warning about an unreadable page may have let in the quit command or the end of the
    // session; the message loop then only takes the quit message.
    if (programEnding)
        return StartResult::Running;
    showTrayIcon(instanceHandle, mainWindow);
    endStartupStep("tray_icon");
    showMainWindow(windowVisible);
    endStartupStep("window_shown");
    // What the window does not show waits until it is painted; no message is taken meanwhile.
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    endStartupStep("first_paint");
    // The new files that a killed save left beside the old ones; every save writes its own
    // anew, so none waits for this.
    removeLeftoverPageFiles();
    removeLeftoverSettingsFile();
    registerGlobalHotkey(mainWindow);
    tellTextKeptAtLastEnd();
    startup.acceleratorTable =
        LoadAcceleratorsA(instanceHandle, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    startup.moreKeys = LoadAcceleratorsA(instanceHandle, MAKEINTRESOURCEA(IDR_MORE_KEYS));
    startup.editingKeys = LoadAcceleratorsA(instanceHandle, MAKEINTRESOURCEA(IDR_EDITING_KEYS));
    endStartupStep("leftover_files_hotkey_and_keys");
    if (openPreferencesAtStart)
        runCommand(IDM_PREFERENCES, CommandOrigin::StartUp);
    return StartResult::Running;
}

bool translateProgramKeys(MSG& message) {
    HWND find = findDialog();
    bool inFind = find && (message.hwnd == find || IsChild(find, message.hwnd));
    return TranslateAcceleratorA(mainWindow, startup.acceleratorTable, &message) ||
           TranslateAcceleratorA(mainWindow, startup.moreKeys, &message) ||
           (!inFind && TranslateAcceleratorA(mainWindow, startup.editingKeys, &message)) ||
           (find && IsDialogMessageA(find, &message));
}

int runMessageLoop() {
    MSG message;
    for (;;) {
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0)
            return static_cast<int>(message.wParam);
        if (result == -1)
            continue;
        if (!translateProgramKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void finishProgram() {
    closeAfterOutsideQuit();
    // No writing thread outlives the program.
    releaseSaveBuffer();
    DestroyAcceleratorTable(startup.acceleratorTable);
    DestroyAcceleratorTable(startup.moreKeys);
    DestroyAcceleratorTable(startup.editingKeys);
    startup.acceleratorTable = startup.moreKeys = startup.editingKeys = nullptr;
    trayIcon.remove();
    UnregisterClassA(MAIN_WINDOW_CLASS, instanceHandle);
    DestroyIcon(startup.classIcon);
    DestroyIcon(startup.classSmallIcon);
    startup.classIcon = startup.classSmallIcon = nullptr;
}

int runProgram(HINSTANCE instance, const char* commandLine) {
    if (startProgram(instance, commandLine) != StartResult::Running)
        return 0;
    int exitCode = runMessageLoop();
    finishProgram();
    return exitCode;
}
