// An hour with a page left as it is: the window shown, the autosave timer ticking 120 times
// (every 30 seconds), nothing typed. Counts the writes the ticks make to the page file and the
// bytes they write, and times a tick, at 10 MB and 50 MB, against the copy of the text out of
// the editor that a tick with something to save starts with.
#include "bench_support.h"

#include "app/app_state.h"
#include "support/files.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int MEASURED_PAGE = 1;
constexpr int TICKS_IN_AN_HOUR = 120;

// Which file stands at the path and when it was written: a write changes one or the other.
std::string identity(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    char text[80];
    snprintf(text, sizeof text, "%lu %lu %lu %lu", info.nFileIndexHigh, info.nFileIndexLow,
             info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return text;
}

void measureHour(size_t bytes, int ticks) {
    std::string text = noteText(bytes, static_cast<unsigned>(bytes));
    std::string page = pageFilePath(MEASURED_PAGE);
    writeFileBytes(page, text);
    require(showPage(MEASURED_PAGE) == PageSwitch::Shown, "showing the page");
    pumpMessages();
    int writes = 0;
    double written = 0;
    std::vector<double> tickMs;
    std::string before = identity(page);
    for (int tick = 0; tick < ticks; ++tick) {
        double start = nowMs();
        SendMessageA(mainWindow, WM_TIMER, IDT_AUTOSAVE, 0);
        tickMs.push_back(nowMs() - start);
        finishPageWrite();
        std::string after = identity(page);
        if (after != before) {
            ++writes;
            written += static_cast<double>(readFileBytes(page).size());
        }
        before = after;
    }
    std::vector<double> copyMs;
    std::vector<char> copy(bytes + 1);
    for (int run = 0; run < 5; ++run) {
        double start = nowMs();
        GetWindowTextA(noteEditor, copy.data(), static_cast<int>(copy.size()));
        copyMs.push_back(nowMs() - start);
    }
    std::string name = sizeName(bytes);
    printf("%-6s %d ticks: %d writes, %.0f bytes written; a tick %.3f ms (target under 1 ms), "
           "the copy out of the editor %.2f ms\n",
           name.c_str(), ticks, writes, written, median(tickMs), median(copyMs));
    printf("BENCH name=idle_hour_%s ticks=%d writes=%d bytes=%.0f tick_ms=%.3f copy_ms=%.2f "
           "target_tick_ms=1 met=%s\n",
           name.c_str(), ticks, writes, written, median(tickMs), median(copyMs),
           writes == 0 && median(tickMs) < 1 ? "yes" : "no");
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    std::string folder = startProgramInNewFolder();
    for (size_t bytes : smoke ? std::vector<size_t>{1000} : std::vector<size_t>{10000000, 50000000})
        measureHour(bytes, smoke ? 2 : TICKS_IN_AN_HOUR);
    quitAndRemoveFolder(folder);
    return 0;
}
