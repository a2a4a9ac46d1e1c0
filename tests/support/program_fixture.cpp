#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/startup.h"
#include "ui/page_save.h"
#include "storage/settings.h"
#include "ui/main_window.h"

#include <commctrl.h>
#include <cstring>

const char* const INSTALL_KEY = "Software\\Kestrova\\Jotty Notes";

void resetProgramState() {
    instanceHandle = nullptr;
    ZeroMemory(appCaption, sizeof appCaption);
    ZeroMemory(installFolder, sizeof installFolder);
    singleInstanceMutex = nullptr;
    openPreferencesAtStart = false;
    memset(&settings, 0, sizeof settings);
    mainWindow = nullptr;
    tabStrip = nullptr;
    noteEditor = nullptr;
    savedEditProc = nullptr;
    currentPage = 0;
    currentPageRead = true;
    windowVisible = true;
    quitRequested = false;
    programEnding = false;
}

static bool dispatchOne(HACCEL accelerators) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (!accelerators || !TranslateAcceleratorA(mainWindow, accelerators, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void pumpMessages() {
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(109));
    while (dispatchOne(accelerators)) {
    }
    DestroyAcceleratorTable(accelerators);
}

bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void ProgramTest::SetUp() {
    resetProgramState();
    deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY, "InstalledPath");
    folder = makeTemporaryFolder();
    SetCurrentDirectoryA(folder.c_str());
}

void ProgramTest::TearDown() {
    // Let go first: quitting saves the page, and the folder goes afterwards.
    while (!heldFiles.empty())
        releaseFile(heldFiles.begin()->first);
    while (!lockedFiles.empty())
        unlockFile(*lockedFiles.begin());
    MSG quitMessage;
    if (running())
        quit();
    else if (PeekMessageA(&quitMessage, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        runToExit();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    SetCurrentDirectoryA(temp);
    removeFolder(folder);
}

void ProgramTest::start(const char* commandLine) {
    ASSERT_EQ(startProgram(GetModuleHandleA(nullptr), commandLine), StartResult::Running);
    pumpMessages();
}

void ProgramTest::restart(const char* commandLine) {
    if (running())
        quit();
    resetProgramState();
    SetCurrentDirectoryA(folder.c_str());
    start(commandLine);
}

int ProgramTest::quit() {
    command(423);
    return runToExit();
}

int ProgramTest::runToExit() {
    int exitCode = runMessageLoop();
    finishProgram();
    return exitCode;
}

bool ProgramTest::running() const {
    return mainWindow && IsWindow(mainWindow);
}

std::string ProgramTest::dataPath(const std::string& name) const {
    return folder + "\\Data\\" + name;
}

std::string ProgramTest::pageFile(int page) const {
    return dataPath("Page" + std::to_string(page) + ".txt");
}

std::string ProgramTest::settingsFile() const {
    return dataPath("Settings.dat");
}

void ProgramTest::writeSettingsBytes(const std::string& bytes) const {
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    writeFileBytes(folder + "\\Data\\Settings.dat", bytes);
}

void ProgramTest::writePageBytes(int page, const std::string& bytes) const {
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    writeFileBytes(pageFile(page), bytes);
}

bool ProgramTest::holdFile(const std::string& path, DWORD sharing) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    heldFiles[path] = file;
    return true;
}

void ProgramTest::releaseFile(const std::string& path) {
    auto held = heldFiles.find(path);
    if (held == heldFiles.end())
        return;
    CloseHandle(held->second);
    heldFiles.erase(held);
}

bool ProgramTest::lockFile(const std::string& path) {
    if (!makeImmutable(path, true))
        return false;
    lockedFiles.insert(path);
    return true;
}

void ProgramTest::unlockFile(const std::string& path) {
    makeImmutable(path, false);
    lockedFiles.erase(path);
}

std::string ProgramTest::editorText() const {
    int length = GetWindowTextLengthA(noteEditor);
    std::string text(length + 1, '\0');
    GetWindowTextA(noteEditor, &text[0], length + 1);
    text.resize(length);
    return text;
}

void ProgramTest::setEditorText(const std::string& text) const {
    SetWindowTextA(noteEditor, text.c_str());
    SendMessageA(noteEditor, EM_SETMODIFY, TRUE, 0);
}

void ProgramTest::typeText(const std::string& text) const {
    int end = GetWindowTextLengthA(noteEditor);
    SendMessageA(noteEditor, EM_SETSEL, end, end);
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    pumpMessages();
}

std::string ProgramTest::tabCaption(int page) const {
    char caption[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof caption;
    SendMessageA(tabStrip, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&item));
    return item.pszText;
}

int ProgramTest::selectedTab() const {
    return static_cast<int>(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0));
}

void ProgramTest::clickTab(int page) const {
    SendMessageA(tabStrip, TCM_SETCURSEL, page, 0);
    NMHDR header = {tabStrip, 103, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(mainWindow, WM_NOTIFY, 103, reinterpret_cast<LPARAM>(&header));
    pumpMessages();
}

void ProgramTest::command(int id) const {
    SendMessageA(mainWindow, WM_COMMAND, id, 0);
}

void waitForPageWrite() {
    EXPECT_TRUE(pumpUntil([] { return !pageWritePending(); })) << "the autosave's write ends";
}

void ProgramTest::autosave() const {
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    waitForPageWrite();
}
