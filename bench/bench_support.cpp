#include "bench_support.h"

#include "app/startup.h"
#include "res/resource.h"
#include "storage/page_files.h"
#include "support/files.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool smokeRun(int argc, char** argv) {
    return argc > 1 && strcmp(argv[1], "--smoke") == 0;
}

double nowMs() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string noteText(size_t bytes, unsigned seed) {
    static const char* const words[] = {
        "call",   "the",   "supplier", "about", "order", "invoice", "meeting", "notes",
        "check",  "phone", "number",   "buy",   "milk",  "project", "Friday",  "ask",
        "review", "draft", "send",     "to",    "and",   "room",    "12",      "tomorrow",
        "a",      "list",  "of",       "ideas", "for",   "garden",  "car",     "remember"};
    unsigned state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        unsigned count = next() % 21; // blank lines too; about 65 bytes a line
        for (unsigned word = 0; word < count; ++word) {
            if (word)
                text += ' ';
            text += words[next() % (sizeof words / sizeof *words)];
        }
        text += "\r\n";
    }
    text.resize(bytes);
    return text;
}

std::string sizeName(size_t bytes) {
    if (bytes >= 1000000)
        return std::to_string(bytes / 1000000) + "MB";
    return std::to_string(bytes / 1000) + "KB";
}

static std::string listed(const std::vector<double>& values) {
    std::string list;
    for (double value : values) {
        char text[32];
        snprintf(text, sizeof text, " %.1f", value);
        list += text;
    }
    return list;
}

void reportRatio(const std::string& name, const std::vector<double>& programMs,
                 const std::vector<double>& floorMs, double target) {
    double program = median(programMs);
    double floor = median(floorMs);
    double ratio = floor > 0 ? program / floor : 0;
    bool met = target <= 0 || ratio <= target;
    const char* verdict = target <= 0 ? "-" : met ? "yes" : "no";
    char targetText[16] = "-";
    if (target > 0)
        snprintf(targetText, sizeof targetText, "%g", target);
    printf("%-12s program %10.2f ms  floor %10.2f ms  ratio %5.2f  target %s  met %s\n",
           name.c_str(), program, floor, ratio, targetText, verdict);
    printf("%-12s runs, program:%s; floor:%s\n", "", listed(programMs).c_str(),
           listed(floorMs).c_str());
    printf("BENCH name=%s ratio=%.2f program_ms=%.2f floor_ms=%.2f runs=%u target=%s met=%s\n",
           name.c_str(), ratio, program, floor, static_cast<unsigned>(programMs.size()), targetText,
           verdict);
    fflush(stdout);
}

long long privateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return -1;
    // Wine leaves PrivateUsage at 0; its page file usage is the process's resident anonymous
    // memory, the same private memory.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Wine answers GetGuiResources with ERROR_CALL_NOT_IMPLEMENTED and GetProcessHandleCount with
// 0; the counts are then taken by asking about every possible handle of this process.
static long guiResources(DWORD kind) {
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), kind);
    if (count == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED)
        return -1;
    return static_cast<long>(count);
}

// Wine takes the index of a GDI handle table entry, without its upper word, as the handle.
static long probeGdiObjects() {
    long count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++count;
    return count;
}

static BOOL CALLBACK countOwnWindow(HWND window, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        ++*reinterpret_cast<long*>(counter);
    return TRUE;
}

static BOOL CALLBACK countOwnWindowTree(HWND window, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(counter);
        EnumChildWindows(window, countOwnWindow, counter);
    }
    return TRUE;
}

// The windows are the USER objects that the program makes and could leak while it runs.
static long countOwnWindows() {
    long count = 0;
    EnumWindows(countOwnWindowTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

static long kernelHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return static_cast<long>(count);
    long open = 0;
    for (UINT_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++open;
    }
    return open;
}

Resources ownResources() {
    Resources resources;
    resources.privateBytes = privateBytes(GetCurrentProcess());
    resources.gdiObjects = guiResources(GR_GDIOBJECTS);
    if (resources.gdiObjects < 0)
        resources.gdiObjects = probeGdiObjects();
    resources.userObjects = guiResources(GR_USEROBJECTS);
    if (resources.userObjects < 0)
        resources.userObjects = countOwnWindows();
    resources.kernelHandles = kernelHandles();
    return resources;
}

static std::string countText(long long count) {
    return count < 0 ? "n/a" : std::to_string(count);
}

std::string describe(const Resources& resources) {
    return "private " + countText(resources.privateBytes / 1024) + " KB, GDI " +
           countText(resources.gdiObjects) + ", USER " + countText(resources.userObjects) +
           ", handles " + countText(resources.kernelHandles);
}

void reportResources(const std::string& name, const Resources& resources) {
    printf("%-22s %s\n", name.c_str(), describe(resources).c_str());
    printf("BENCH name=%s private_kb=%s gdi=%s user=%s handles=%s\n", name.c_str(),
           countText(resources.privateBytes < 0 ? -1 : resources.privateBytes / 1024).c_str(),
           countText(resources.gdiObjects).c_str(), countText(resources.userObjects).c_str(),
           countText(resources.kernelHandles).c_str());
    fflush(stdout);
}

std::string pageFilePath(int page) {
    char path[MAX_PATH];
    formatPagePath(path, page);
    return path;
}

void require(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        exit(1);
    }
}

std::string startProgramInNewFolder() {
    std::string folder = makeTemporaryFolder();
    SetCurrentDirectoryA(folder.c_str());
    // The install folder is the current directory only while setup has not recorded one.
    deleteRegistryValue(HKEY_CURRENT_USER, INSTALL_KEY_PATH, INSTALLED_PATH_VALUE);
    require(startProgramHere(), "starting the program");
    return folder;
}

void quitAndRemoveFolder(const std::string& folder) {
    quitProgram();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    SetCurrentDirectoryA(temp);
    removeFolder(folder);
}
