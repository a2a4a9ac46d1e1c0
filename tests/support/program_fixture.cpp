#include "support/program_fixture.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/autostart.h"
#include "platform/view_settings.h"
#include "storage/settings.h"
#include "ui/current_page.h"
#include "ui/note_editor.h"
#include "ui/tab_strip.h"

#include <commctrl.h>
#include <cstring>
#include <stdexcept>

const std::vector<std::string> DEFAULT_PAGE_NAMES = {"Page 1", "Page 2", "Page 3", "Page 4",
                                                     "Page 5"};

std::string settingsBytes(int startPage, const std::vector<std::string>& names, bool autoStart,
                          bool wordWrap) {
    std::string bytes(124, '\0');
    bytes[0] = static_cast<char>(startPage & 0xFF);
    bytes[1] = static_cast<char>(startPage >> 8 & 0xFF);
    bytes[2] = autoStart;
    bytes[3] = wordWrap;
    for (size_t page = 0; page < names.size() && page < 5; ++page)
        bytes.replace(4 + 20 * page, names[page].size(), names[page]);
    return bytes;
}

// What starts and tests leave in the registry; a Run value would start the program next session.
static void removeRegistryValues() {
    for (const char* value :
         {INSTALLED_PATH_VALUE, TEXT_SIZE_VALUE, WINDOW_PLACE_VALUE, DOCUMENTS_RESCUE_VALUE,
          RESCUES_TOLD_VALUE, THEME_VALUE, HOTKEY_VALUE, ALWAYS_ON_TOP_VALUE})
        deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, value);
    deleteRegistryValue(HKEY_CURRENT_USER,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                        "AppsUseLightTheme");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const char* value : {STARTUP_VALUE, PREFERENCES_RUN_VALUE})
            deleteRegistryValue(root, RUN_KEY_PATH, value);
}

void ProgramTest::SetUp() {
    // What a test calls before it starts the program finds it as a start would.
    ProgramStateLink::startAllAfresh();
    removeRegistryValues();
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
    removeRegistryValues();
}

void ProgramTest::start(const char* commandLine) {
    SetCurrentDirectoryA(folder.c_str());
    if (!startProgramHere(commandLine))
        throw std::runtime_error("the program did not start");
}

void ProgramTest::restart(const char* commandLine) {
    if (running())
        quit();
    start(commandLine);
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
    NMHDR header = {tabStrip, IDC_TABSTRIP, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(mainWindow, WM_NOTIFY, IDC_TABSTRIP, reinterpret_cast<LPARAM>(&header));
    pumpMessages();
}

void ProgramTest::command(int id) const {
    SendMessageA(mainWindow, WM_COMMAND, id, 0);
}

void ProgramTest::systemCommand(int id) const {
    SendMessageA(mainWindow, WM_SYSCOMMAND, id, 0);
}

void waitForPageWrite() {
    EXPECT_TRUE(pumpUntil([] { return !pageWritePending(); })) << "the autosave's write ends";
}

void ProgramTest::autosave() const {
    SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
    waitForPageWrite();
}
