// Killed mid-save: jnotes.exe keeps a large page and saves it over and over, by Ctrl+S and by
// page switches, while the test kills it at many different moments: during the write of the
// new file, between that write and the rename, right after the rename, while a page switch
// writes the settings file, and during start-up. Every other kill is TerminateProcess, the
// others SIGKILL of the Linux process that runs the program under Wine, which stops even a
// write half-way. After every kill each page file and the settings file holds its old or its
// new content, whole; and the next start clears what the kill left and changes nothing.
// Tests named Long* form the longer part of the campaign.
#include "support/running_program.h"

#include "storage/settings_record.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdio>
#include <functional>
#include <random>

namespace {

const int BIG_PAGE = 1;
const int OTHER_PAGE = 2; // where a switch from the big page goes

double milliseconds() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency;
}

// Checks without pause, so that a kill follows the event it waits for within microseconds.
bool spinUntil(const std::function<bool()>& condition, double timeout) {
    double end = milliseconds() + timeout;
    while (!condition()) {
        if (milliseconds() > end)
            return false;
    }
    return true;
}

void waitPrecisely(double delay) {
    double end = milliseconds() + delay;
    if (delay > 2)
        Sleep(static_cast<DWORD>(delay - 1));
    spinUntil([&] { return milliseconds() >= end; }, delay + 1);
}

struct FileState {
    bool exists = false;
    ULONGLONG size = 0;
    ULONGLONG written = 0;
    bool operator!=(const FileState& other) const {
        return exists != other.exists || size != other.size || written != other.written;
    }
};

FileState fileState(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FileState state;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return state;
    state.exists = true;
    state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    state.written = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                    data.ftLastWriteTime.dwLowDateTime;
    return state;
}

// Long lines: the editor loads them several times faster than short ones.
std::string largePage(size_t size) {
    const std::string words = "notes kept for years, ";
    std::string page;
    page.reserve(size + 1100);
    for (int line = 0; page.size() < size; ++line) {
        size_t end = page.size() + 998;
        page += "line " + std::to_string(line) + ": ";
        while (page.size() < end)
            page += words;
        page.resize(end);
        page += "\r\n";
    }
    return page;
}

// The Linux process of a program that Wine runs: the one whose command line names jnotes.exe
// and whose working folder is the given folder (compared by identity, not by name).
bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool found = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    return found;
}

std::string readSmallFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::string text;
    if (file == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

int linuxProcessOf(const std::string& folder) {
    BY_HANDLE_FILE_INFORMATION wanted;
    if (!fileIdentity(folder, wanted))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int pid = 0;
    do {
        std::string entry = std::string("Z:\\proc\\") + found.cFileName;
        BY_HANDLE_FILE_INFORMATION cwd;
        if (atoi(found.cFileName) > 0 &&
            readSmallFile(entry + "\\cmdline").find("jnotes.exe") != std::string::npos &&
            fileIdentity(entry + "\\cwd", cwd) && cwd.nFileIndexHigh == wanted.nFileIndexHigh &&
            cwd.nFileIndexLow == wanted.nFileIndexLow)
            pid = atoi(found.cFileName);
    } while (!pid && FindNextFileA(search, &found));
    FindClose(search);
    return pid;
}

// SIGKILL within microseconds of the chosen moment: a Linux helper, started beforehand, says
// it is ready and kills the process as soon as the signal file appears or, when it is given
// one, as soon as the watched file has grown to the given size. Taking its ready file away, or
// two minutes without either, sends it away without a kill.
class LinuxKiller {
  public:
    LinuxKiller() : name("/tmp/jnotes-kill-" + std::to_string(GetCurrentProcessId())) {}
    ~LinuxKiller() { disarm(); }
    LinuxKiller(const LinuxKiller&) = delete;
    LinuxKiller& operator=(const LinuxKiller&) = delete;
    bool arm(int pid, const std::string& watched = std::string(), size_t size = 0) {
        disarm();
        // No double quotes or backslashes in the script: Wine splits the command line.
        startLinuxProgram(
            "Z:\\usr\\bin\\perl -e \"($pid,$go,$ready,$watched,$size)=@ARGV; $end=time+120; "
            "open(F,'>',$ready) and close(F); "
            "1 until -e $go or !-e $ready or ($watched and (-s $watched or 0)>=$size) or "
            "time>$end; kill(9,$pid) if -e $ready and time<=$end; unlink($ready)\" " +
            std::to_string(pid) + " " + name + ".go " + name + ".ready " +
            (watched.empty() ? "0 0" : unixPath(watched) + " " + std::to_string(size)));
        return spinUntil([&] { return fileExists(windowsPath(".ready")); }, 10000);
    }
    void disarm() {
        DeleteFileA(windowsPath(".ready").c_str());
        DeleteFileA(windowsPath(".go").c_str());
    }
    void fire() {
        HANDLE signal = CreateFileA(windowsPath(".go").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr);
        CloseHandle(signal);
    }

  private:
    std::string windowsPath(const char* extension) const {
        std::string path = "Z:" + name + extension;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string name;
};

// Ctrl+S, the autosave timer's tick (written by a thread of the program's own), or a switch from
// the big page to another, which saves the page and then writes the settings file.
enum class Action { Save, Autosave, SwitchPage };
enum class Moment { AfterADelay, WhileWriting, WhenWritten, AfterTheRename, AtTheSettingsWrite };

// Where a kill landed, as told by what it left on disk.
enum Landing {
    DuringStartUp,
    BeforeTheWrite,
    DuringTheWrite,
    BeforeTheRename,
    AfterTheRename,
    DuringTheSettingsWrite,
    AfterTheSettingsWrite,
    LANDINGS
};
const char* const LANDING_NAMES[LANDINGS] = {"during start-up",
                                             "before the write of the page",
                                             "during the write of the new file",
                                             "after the write, before the rename",
                                             "after the rename",
                                             "during the settings write",
                                             "after the settings write"};

struct Trial {
    Action action = Action::Save;
    Moment moment = Moment::AfterADelay;
    bool bySigkill = false;
    size_t newSize = 0;    // of the page's new content
    size_t killAtSize = 0; // the size of the new file at which a kill while writing falls
    FileState pageBefore;
    FileState settingsBefore;
    double expected = 0; // how long the action takes without a kill
};

struct Files {
    std::string pages[PAGE_COUNT];
    std::string settings;
};

struct Figures {
    int trials = 0;
    int byTerminateProcess = 0;
    int bySigkill = 0;
    int actions[3] = {};
    int landed[LANDINGS] = {};
    int filesChecked = 0;
    int filesOld = 0;
    int filesNew = 0;
    int bad = 0;
    int temporaryFilesLeft = 0;
    int temporaryFilesStillThere = 0;
    double latestKill = 0;
};

class KilledMidSave : public RunningProgram {
  protected:
    void runCampaign(size_t pageSize, int trials, unsigned seed);

  private:
    std::string dataFile(const std::string& name) const { return folder + "\\Data\\" + name; }
    std::string pagePath(int page) const {
        return dataFile("Page" + std::to_string(page) + ".txt");
    }
    std::string temporaryPath(int page) const {
        return dataFile("Page" + std::to_string(page) + ".tmp");
    }
    void writeStartingFiles(size_t pageSize);
    void startProgram(bool held);
    void letProgramRun();
    void checkStartUp();
    void calibrate();
    void returnToBigPage();
    void armKill(bool bySigkill, const std::string& watched = std::string(), size_t size = 0);
    void killProgram(bool bySigkill);
    void killDuringStartUp(bool bySigkill);
    void killDuringAction(bool bySigkill, const Moment* forced = nullptr);
    void runTrial(int trial, const Moment* forced);
    void typeEdit(std::string& text);
    void waitForMoment(const Trial& trial);
    void checkAfterKill(const Files& intended);
    Landing landingOf(const Files& before, const FileState& temporary, bool settingsTemporary,
                      size_t newSize) const;
    void checkFile(const std::string& path, std::string& known, const std::string& intended,
                   const char* what);
    void printFigures(size_t pageSize) const;

    std::mt19937 random;
    Files disk; // what the files hold, confirmed after every start and every kill
    HANDLE heldThread = nullptr;
    int linuxPid = 0;
    HWND window = nullptr;
    HWND editor = nullptr;
    HWND tabStrip = nullptr;
    LinuxKiller killer;
    double expectedDuration[3] = {};
    unsigned nextMoment[2] = {};
    std::string trialName;
    Figures figures;
};

void KilledMidSave::writeStartingFiles(size_t pageSize) {
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    for (int page = 0; page < PAGE_COUNT; ++page)
        disk.pages[page] = page == BIG_PAGE ? largePage(pageSize)
                                            : "notes of page " + std::to_string(page + 1) + "\r\n";
    disk.settings = settingsBytes(BIG_PAGE);
    for (int page = 0; page < PAGE_COUNT; ++page)
        writeFileBytes(pagePath(page), disk.pages[page]);
    writeFileBytes(dataFile("Settings.dat"), disk.settings);
}

// A held program has a process and a Linux process but runs nothing until let go.
void KilledMidSave::startProgram(bool held) {
    // A killed copy's Linux process may outlive its Windows process for a moment: the new copy's
    // must not be taken for it.
    spinUntil([&] { return linuxProcessOf(folder) == 0; }, 10000);
    std::string line = "\"" + executableFolder() + "\\jnotes.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, folder.c_str(), &startup, &info));
    first.handle = info.hProcess;
    heldThread = info.hThread;
    linuxPid = linuxProcessOf(folder);
    ASSERT_NE(linuxPid, 0) << "the Linux process of jnotes.exe is not found under Z:\\proc";
    if (!held)
        letProgramRun();
}

void KilledMidSave::letProgramRun() {
    ResumeThread(heldThread);
    CloseHandle(heldThread);
    heldThread = nullptr;
}

// Start-up clears the leftovers of a kill and writes page 0 and the settings file with the
// bytes they hold: nothing on disk changes.
void KilledMidSave::checkStartUp() {
    ASSERT_EQ(WaitForInputIdle(first.handle, 300000), 0u) << trialName;
    ASSERT_EQ(waitForExit(first, 0), STILL_ACTIVE) << trialName << ": the program ended at start";
    window = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    ASSERT_EQ(owner, GetProcessId(first.handle)) << trialName << ": no window of this copy";
    editor = GetDlgItem(window, IDC_NOTEEDITOR);
    tabStrip = GetDlgItem(window, IDC_TABSTRIP);
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(tabStrip, nullptr);
    EXPECT_EQ(SendMessageA(tabStrip, TCM_GETCURSEL, 0, 0), disk.settings[0])
        << trialName << ": not the page the settings file names";
    for (int page = 0; page < PAGE_COUNT; ++page) {
        if (fileExists(temporaryPath(page)))
            ++figures.temporaryFilesStillThere;
        checkFile(pagePath(page), disk.pages[page], disk.pages[page], "page file after start-up");
    }
    if (fileExists(dataFile("Settings.tmp")))
        ++figures.temporaryFilesStillThere;
    checkFile(dataFile("Settings.dat"), disk.settings, disk.settings, "settings after start-up");
    EXPECT_EQ(figures.temporaryFilesStillThere, 0) << trialName << ": leftovers not cleared";
}

// Measures each action once, without a kill, and proves that the test's model of the text
// matches what the program writes.
void KilledMidSave::calibrate() {
    trialName = "calibration";
    ASSERT_NO_FATAL_FAILURE(startProgram(false));
    ASSERT_NO_FATAL_FAILURE(checkStartUp());
    for (Action action : {Action::Save, Action::Autosave, Action::SwitchPage}) {
        typeEdit(disk.pages[BIG_PAGE]);
        double start = milliseconds();
        if (action == Action::Save) {
            SendMessageA(window, WM_COMMAND, IDM_SAVEPAGE, 0);
        } else if (action == Action::Autosave) {
            // Its file is written after the message returns. It is watched by its attributes
            // until renamed, since Wine refuses to rename over a file that is open, and then
            // read until the program has closed it.
            FileState before = fileState(pagePath(BIG_PAGE));
            SendMessageA(window, WM_TIMER, IDT_AUTOSAVE, 0);
            spinUntil([&] { return fileState(pagePath(BIG_PAGE)) != before; }, 60000);
            spinUntil([&] { return readFileBytes(pagePath(BIG_PAGE)) == disk.pages[BIG_PAGE]; },
                      1000);
        } else {
            SendMessageA(tabStrip, WM_KEYDOWN, VK_RIGHT, 0);
            disk.settings = settingsBytes(OTHER_PAGE);
        }
        expectedDuration[static_cast<int>(action)] = milliseconds() - start;
        ASSERT_TRUE(readFileBytes(pagePath(BIG_PAGE)) == disk.pages[BIG_PAGE])
            << "the test's model of the page differs from what the program saved";
        ASSERT_EQ(readFileBytes(dataFile("Settings.dat")), disk.settings);
    }
    ASSERT_NO_FATAL_FAILURE(returnToBigPage());
}

// Every trial starts on the big page; the way back from the other page is not one.
void KilledMidSave::returnToBigPage() {
    SendMessageA(tabStrip, WM_KEYDOWN, VK_LEFT, 0);
    std::string settings = settingsBytes(BIG_PAGE);
    ASSERT_EQ(readFileBytes(dataFile("Settings.dat")), settings) << trialName;
    disk.settings = settings;
}

void KilledMidSave::armKill(bool bySigkill, const std::string& watched, size_t size) {
    if (bySigkill) {
        ASSERT_TRUE(killer.arm(linuxPid, watched, size))
            << "the Linux helper that kills did not start";
    }
}

void KilledMidSave::killProgram(bool bySigkill) {
    if (bySigkill) {
        ++figures.bySigkill;
        killer.fire();
    } else {
        ++figures.byTerminateProcess;
        TerminateProcess(first.handle, 1);
    }
    ASSERT_EQ(WaitForSingleObject(first.handle, 30000), WAIT_OBJECT_0) << trialName;
    CloseHandle(first.handle);
    first.handle = nullptr;
    if (heldThread)
        CloseHandle(heldThread);
    heldThread = nullptr;
}

// Types over a random run of whole lines (possibly none) a new line, as the user would.
void KilledMidSave::typeEdit(std::string& text) {
    auto lineStartFrom = [&](size_t position) {
        size_t end = text.find("\r\n", position);
        return end == std::string::npos ? text.size() : end + 2;
    };
    size_t from = random() % 4 == 0 ? 0 : lineStartFrom(random() % (text.size() + 1));
    size_t to = from;
    for (int lines = random() % 3; lines > 0; --lines)
        to = lineStartFrom(to);
    std::string typed = trialName + " typed " + std::to_string(random() % 100000);
    SendMessageA(editor, EM_SETSEL, from, to);
    std::string line = typed + "\r\n";
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
    text.replace(from, to - from, line);
}

void KilledMidSave::waitForMoment(const Trial& trial) {
    double timeout = 2 * trial.expected + 1000;
    std::string temporary = temporaryPath(BIG_PAGE);
    switch (trial.moment) {
        case Moment::AfterADelay:
            waitPrecisely(std::uniform_real_distribution<double>(0, 1.3 * trial.expected)(random));
            break;
        case Moment::WhileWriting:
            // The helper that kills watches the write itself; spinning here too would take
            // the processor it needs.
            if (trial.bySigkill)
                WaitForSingleObject(first.handle, static_cast<DWORD>(timeout));
            else
                spinUntil([&] { return fileState(temporary).size >= trial.killAtSize; }, timeout);
            break;
        case Moment::WhenWritten:
            spinUntil([&] { return fileState(temporary).size >= trial.newSize; }, timeout);
            break;
        case Moment::AfterTheRename:
            spinUntil([&] { return fileState(pagePath(BIG_PAGE)) != trial.pageBefore; }, timeout);
            break;
        case Moment::AtTheSettingsWrite:
            spinUntil(
                [&] {
                    return fileState(dataFile("Settings.tmp")).exists ||
                           fileState(dataFile("Settings.dat")) != trial.settingsBefore;
                },
                timeout);
            break;
    }
}

// A file must hold its old or its intended content, whole; what it holds becomes known.
void KilledMidSave::checkFile(const std::string& path, std::string& known,
                              const std::string& intended, const char* what) {
    std::string actual = readFileBytes(path);
    ++figures.filesChecked;
    if (actual == known) {
        ++figures.filesOld;
        return;
    }
    if (actual == intended) {
        ++figures.filesNew;
        known = actual;
        return;
    }
    ++figures.bad;
    ADD_FAILURE() << trialName << ": " << what << " " << path << " holds " << actual.size()
                  << " bytes that are neither its old content (" << known.size()
                  << " bytes) nor its new one (" << intended.size() << " bytes)";
    // The next start loads what is there: later trials go on from it.
    known = actual;
}

void KilledMidSave::checkAfterKill(const Files& intended) {
    for (int page = 0; page < PAGE_COUNT; ++page) {
        if (fileExists(temporaryPath(page)))
            ++figures.temporaryFilesLeft;
        checkFile(pagePath(page), disk.pages[page], intended.pages[page], "page file");
    }
    if (fileExists(dataFile("Settings.tmp")))
        ++figures.temporaryFilesLeft;
    checkFile(dataFile("Settings.dat"), disk.settings, intended.settings, "settings file");
}

Landing KilledMidSave::landingOf(const Files& before, const FileState& temporary,
                                 bool settingsTemporary, size_t newSize) const {
    if (disk.settings != before.settings)
        return AfterTheSettingsWrite;
    if (settingsTemporary)
        return DuringTheSettingsWrite;
    if (disk.pages[BIG_PAGE] != before.pages[BIG_PAGE])
        return AfterTheRename;
    if (temporary.exists)
        return temporary.size < newSize ? DuringTheWrite : BeforeTheRename;
    return BeforeTheWrite;
}

// Start-up writes the settings file and page 0 within its first few hundred milliseconds.
void KilledMidSave::killDuringStartUp(bool bySigkill) {
    ASSERT_NO_FATAL_FAILURE(startProgram(true));
    ASSERT_NO_FATAL_FAILURE(armKill(bySigkill));
    letProgramRun();
    waitPrecisely(std::uniform_real_distribution<double>(0, 300)(random));
    ASSERT_NO_FATAL_FAILURE(killProgram(bySigkill));
    Files unchanged = disk;
    checkAfterKill(unchanged);
    ++figures.landed[DuringStartUp];
}

void KilledMidSave::killDuringAction(bool bySigkill, const Moment* forced) {
    Trial trial;
    trial.bySigkill = bySigkill;
    if (random() % 4 == 0)
        trial.action = Action::SwitchPage;
    else if (random() % 3 == 0)
        trial.action = Action::Autosave;
    // Each way of killing goes through the moments in turn.
    std::vector<Moment> moments = {Moment::AfterADelay, Moment::WhileWriting, Moment::WhenWritten,
                                   Moment::AfterTheRename};
    if (trial.action == Action::SwitchPage)
        moments.push_back(Moment::AtTheSettingsWrite);
    trial.moment = forced ? *forced : moments[nextMoment[bySigkill]++ % moments.size()];
    trial.expected = expectedDuration[static_cast<int>(trial.action)];
    ++figures.actions[static_cast<int>(trial.action)];

    Files intended = disk;
    typeEdit(intended.pages[BIG_PAGE]);
    if (trial.action == Action::SwitchPage)
        intended.settings = settingsBytes(OTHER_PAGE);
    trial.newSize = intended.pages[BIG_PAGE].size();
    trial.killAtSize =
        std::max<size_t>(1, std::uniform_int_distribution<size_t>(0, trial.newSize)(random));
    // The helper watches a write itself: the test could not follow it closely enough.
    if (trial.moment == Moment::WhileWriting) {
        ASSERT_NO_FATAL_FAILURE(armKill(bySigkill, temporaryPath(BIG_PAGE), trial.killAtSize));
    } else {
        ASSERT_NO_FATAL_FAILURE(armKill(bySigkill));
    }
    trial.pageBefore = fileState(pagePath(BIG_PAGE));
    trial.settingsBefore = fileState(dataFile("Settings.dat"));
    double posted = milliseconds();
    if (trial.action == Action::Save)
        PostMessageA(window, WM_COMMAND, IDM_SAVEPAGE, 0);
    else if (trial.action == Action::Autosave)
        PostMessageA(window, WM_TIMER, IDT_AUTOSAVE, 0);
    else
        PostMessageA(tabStrip, WM_KEYDOWN, VK_RIGHT, 0);
    waitForMoment(trial);
    figures.latestKill = std::max(figures.latestKill, milliseconds() - posted);
    ASSERT_NO_FATAL_FAILURE(killProgram(bySigkill));
    FileState temporary = fileState(temporaryPath(BIG_PAGE));
    bool settingsTemporary = fileExists(dataFile("Settings.tmp"));
    Files before = disk;
    checkAfterKill(intended);
    ++figures.landed[landingOf(before, temporary, settingsTemporary, trial.newSize)];
}

void KilledMidSave::printFigures(size_t pageSize) const {
    printf("Killed mid-save, a page of %.1f MB: %d trials, %d kills by TerminateProcess and %d "
           "by SIGKILL, the latest %.0f ms after the save was asked for\n",
           pageSize / 1048576.0, figures.trials, figures.byTerminateProcess, figures.bySigkill,
           figures.latestKill);
    printf("  during Ctrl+S %d, the autosave %d, a page switch %d\n", figures.actions[0],
           figures.actions[1], figures.actions[2]);
    for (int landing = 0; landing < LANDINGS; ++landing)
        printf("  killed %-36s %d\n", LANDING_NAMES[landing], figures.landed[landing]);
    printf("  files checked after the kills and starts %d: as before %d, their new content %d, "
           "anything else %d\n",
           figures.filesChecked, figures.filesOld, figures.filesNew, figures.bad);
    printf("  temporary files left by the kills %d, still there after the next start %d\n",
           figures.temporaryFilesLeft, figures.temporaryFilesStillThere);
    fflush(stdout);
}

void KilledMidSave::runTrial(int trial, const Moment* forced) {
    trialName = "trial " + std::to_string(trial);
    bool bySigkill = trial % 2 == 0;
    if (!first.handle) {
        if (!forced && random() % 8 == 0) {
            ASSERT_NO_FATAL_FAILURE(killDuringStartUp(bySigkill));
            ++figures.trials;
            return;
        }
        ASSERT_NO_FATAL_FAILURE(startProgram(false));
        ASSERT_NO_FATAL_FAILURE(checkStartUp());
        if (disk.settings[0] == OTHER_PAGE) {
            ASSERT_NO_FATAL_FAILURE(returnToBigPage());
        }
    }
    ASSERT_NO_FATAL_FAILURE(killDuringAction(bySigkill, forced));
    ++figures.trials;
}

void KilledMidSave::runCampaign(size_t pageSize, int trials, unsigned seed) {
    random.seed(seed);
    writeStartingFiles(pageSize);
    ASSERT_NO_FATAL_FAILURE(calibrate());
    for (int trial = 1; trial <= trials; ++trial)
        ASSERT_NO_FATAL_FAILURE(runTrial(trial, nullptr));
    // A kill lands where the machine's timing lets it: a moment of the save that no kill has
    // hit yet is aimed at once more, a few times at most.
    const struct {
        Landing landing;
        Moment aim;
    } moments[] = {{DuringTheWrite, Moment::WhileWriting},
                   {BeforeTheRename, Moment::WhenWritten},
                   {AfterTheRename, Moment::AfterTheRename}};
    for (const auto& moment : moments) {
        for (int extra = 0; extra < 8 && figures.landed[moment.landing] == 0; ++extra)
            ASSERT_NO_FATAL_FAILURE(runTrial(++trials, &moment.aim));
    }
    trialName = "the end";
    ASSERT_NO_FATAL_FAILURE(startProgram(false));
    ASSERT_NO_FATAL_FAILURE(checkStartUp());
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(waitForExit(first, 120000), 0u);
    printFigures(pageSize);
    EXPECT_EQ(figures.bad, 0);
    EXPECT_EQ(figures.temporaryFilesStillThere, 0);
    for (Landing landing : {DuringTheWrite, BeforeTheRename, AfterTheRename})
        EXPECT_GT(figures.landed[landing], 0) << "no kill landed " << LANDING_NAMES[landing];
}

} // namespace

TEST_F(KilledMidSave, ManyTrialsOnAPageOfAFewMegabytes) {
    runCampaign(2u << 20, 40, 1);
}

TEST_F(KilledMidSave, LongTrialsOnAPageOfTensOfMegabytes) {
    runCampaign(20u << 20, 16, 2);
}
