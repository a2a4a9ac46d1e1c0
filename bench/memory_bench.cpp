// What the program holds: private bytes, GDI and USER objects and kernel handles at idle after
// start-up, after showing each of five 10 MB pages once, and after more rounds of switching
// through them, across which nothing may grow.
#include "bench_support.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "support/files.h"
#include "ui/current_page.h"
#include "ui/main_window.h"
#include "ui/note_editor.h"

#include <cstdio>

namespace {

// Any leak of a page's text or of a file handle shows as ten times this or more.
constexpr long long PRIVATE_NOISE = 1024 * 1024;

void show(int page, size_t bytes) {
    require(showPage(page) == PageSwitch::Shown &&
                static_cast<size_t>(GetWindowTextLengthA(noteEditor)) == bytes,
            "showing a page");
    pumpMessages();
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    size_t pageBytes = smoke ? 1000 : 10000000;
    int rounds = smoke ? 1 : 2;
    std::string folder = startProgramInNewFolder();
    reportResources("after_startup", ownResources());

    // Page 0 is shown, empty; its file is written once it has been left, so that leaving it
    // does not save the empty editor over it.
    for (int page = 1; page < PAGE_COUNT; ++page)
        writeFileBytes(pageFilePath(page), noteText(pageBytes, page));
    Resources after;
    for (int shown = 1; shown <= PAGE_COUNT; ++shown) {
        show(shown % PAGE_COUNT, pageBytes);
        if (shown == 1)
            writeFileBytes(pageFilePath(0), noteText(pageBytes, PAGE_COUNT));
        after = ownResources();
        reportResources("after_page_" + std::to_string(shown), after);
    }

    Resources before;
    for (int round = 1; round <= rounds; ++round) {
        before = after;
        for (int page = 1; page <= PAGE_COUNT; ++page)
            show(page % PAGE_COUNT, pageBytes);
        after = ownResources();
        reportResources("after_round_" + std::to_string(round), after);
    }
    long long growth = after.privateBytes - before.privateBytes;
    bool met = growth < PRIVATE_NOISE && after.gdiObjects == before.gdiObjects &&
               after.userObjects == before.userObjects &&
               after.kernelHandles == before.kernelHandles;
    printf("growth over the last %d page switches: private %lld KB, GDI %ld, USER %ld, "
           "handles %ld: %s\n",
           PAGE_COUNT, growth / 1024, after.gdiObjects - before.gdiObjects,
           after.userObjects - before.userObjects, after.kernelHandles - before.kernelHandles,
           met ? "no growth" : "GROWTH");
    printf("BENCH name=switch_growth private_kb=%lld gdi=%ld user=%ld handles=%ld switches=%d "
           "target=0 met=%s\n",
           growth / 1024, after.gdiObjects - before.gdiObjects,
           after.userObjects - before.userObjects, after.kernelHandles - before.kernelHandles,
           PAGE_COUNT, met ? "yes" : "no");
    quitAndRemoveFolder(folder);
    return 0;
}
