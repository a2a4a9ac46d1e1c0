// The text search on pages of notes: five pages of 10 MB without a match, and a 50 MB page with
// its match near the end, with and without match case, each against the floor of reading the
// same bytes from their files and memchr-scanning them:
//   search_core_*: findInText alone on the text in memory, the search's own share of a search;
//   search_disk_*: each file read, then findInText on its bytes, as a search takes the pages
//         that are not shown.
// Whatever reads the files reads into one buffer kept from run to run; the floor scans for NUL,
// which no page holds, so that it looks at every byte. The floor's reading and scanning are also
// given apart.
#include "bench_support.h"

#include "support/files.h"
#include "ui/text_search.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int RUNS = 15;
const char WHAT[] = "holiday";
constexpr size_t WHAT_LENGTH = sizeof WHAT - 1;

struct Pages {
    std::string name;
    std::vector<std::string> texts;
    std::vector<std::string> files;
    // Where the search is found in the last page; NO_MATCH in every page.
    size_t found;
};

Pages makePages(const std::string& folder, int count, size_t bytes, bool matchNearEnd) {
    Pages pages;
    pages.name = (count > 1 ? std::to_string(count) + "x" : "") + sizeName(bytes);
    pages.found = NO_MATCH;
    for (int page = 0; page < count; ++page) {
        std::string text = noteText(bytes, static_cast<unsigned>(bytes) + page);
        if (matchNearEnd && page == count - 1) {
            pages.found = bytes - bytes / 50000 - WHAT_LENGTH; // 1000 bytes before the end at 50 MB
            text.replace(pages.found, WHAT_LENGTH, WHAT);
        }
        pages.files.push_back(folder + "\\page" + std::to_string(page) + ".txt");
        writeFileBytes(pages.files.back(), text);
        pages.texts.push_back(std::move(text));
    }
    return pages;
}

size_t readInto(const std::string& path, std::vector<char>& buffer) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    if (buffer.size() < size)
        buffer.resize(size);
    DWORD read = 0;
    bool ok = ReadFile(file, buffer.data(), size, &read, nullptr);
    CloseHandle(file);
    require(ok && read == size, "reading a page");
    return read;
}

size_t search(const char* text, size_t length, bool matchCase) {
    static const SearchAlphabet alphabet = asciiAlphabet();
    SearchOptions options = {matchCase, false, true};
    return findInText(text, length, WHAT, WHAT_LENGTH, options, 0, alphabet);
}

// The floor's two steps, summed over the pages.
struct FloorTimes {
    double read;
    double scan;
};

FloorTimes floorRun(const Pages& pages, std::vector<char>& buffer) {
    FloorTimes times = {0, 0};
    bool clean = true;
    for (const std::string& file : pages.files) {
        double start = nowMs();
        size_t length = readInto(file, buffer);
        double read = nowMs();
        clean = !memchr(buffer.data(), '\0', length) && clean;
        times.read += read - start;
        times.scan += nowMs() - read;
    }
    require(clean, "the floor's scan");
    return times;
}

double coreRun(const Pages& pages, bool matchCase) {
    double start = nowMs();
    size_t found = NO_MATCH;
    for (const std::string& text : pages.texts)
        found = search(text.data(), text.size(), matchCase);
    double took = nowMs() - start;
    require(found == pages.found, "findInText in memory");
    return took;
}

double diskRun(const Pages& pages, bool matchCase, std::vector<char>& buffer) {
    double start = nowMs();
    size_t found = NO_MATCH;
    for (const std::string& file : pages.files) {
        size_t length = readInto(file, buffer);
        found = search(buffer.data(), length, matchCase);
    }
    double took = nowMs() - start;
    require(found == pages.found, "findInText on the files");
    return took;
}

void measure(const Pages& pages, bool fromDisk, bool matchCase, int runs) {
    std::vector<char> buffer;
    std::vector<double> programMs, floorMs;
    auto program = [&] {
        return fromDisk ? diskRun(pages, matchCase, buffer) : coreRun(pages, matchCase);
    };
    floorRun(pages, buffer); // both sides then find the buffer and the files' cache warm
    for (int run = 0; run < runs; ++run) {
        if (run % 2)
            programMs.push_back(program());
        FloorTimes floor = floorRun(pages, buffer);
        floorMs.push_back(floor.read + floor.scan);
        if (run % 2 == 0)
            programMs.push_back(program());
    }
    reportRatio(std::string("search_") + (fromDisk ? "disk_" : "core_") + pages.name +
                    (matchCase ? "_case" : "_nocase"),
                programMs, floorMs, fromDisk ? 1.5 : 0.5);
}

void reportFloorSteps(const Pages& pages, int runs) {
    std::vector<char> buffer;
    std::vector<double> readMs, scanMs;
    floorRun(pages, buffer);
    for (int run = 0; run < runs; ++run) {
        FloorTimes floor = floorRun(pages, buffer);
        readMs.push_back(floor.read);
        scanMs.push_back(floor.scan);
    }
    std::string name = "search_floor_" + pages.name + "_steps";
    printf("%-24s reading the files %.2f ms, memchr %.2f ms\n", name.c_str(), median(readMs),
           median(scanMs));
    printf("BENCH name=%s read_ms=%.2f scan_ms=%.2f\n", name.c_str(), median(readMs),
           median(scanMs));
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    bool smoke = smokeRun(argc, argv);
    size_t pageBytes = smoke ? 1000 : 10000000;
    size_t largeBytes = smoke ? 1000 : 50000000;
    int runs = smoke ? 1 : RUNS;
    std::string folder = makeTemporaryFolder();
    Pages five = makePages(folder, 5, pageBytes, false);
    for (bool matchCase : {true, false}) {
        measure(five, false, matchCase, runs);
        measure(five, true, matchCase, runs);
    }
    reportFloorSteps(five, runs);
    five = Pages(); // the 32-bit process need not hold both sets of texts
    Pages large = makePages(folder, 1, largeBytes, true);
    for (bool matchCase : {true, false})
        measure(large, false, matchCase, runs);
    reportFloorSteps(large, runs);
    removeFolder(folder);
    return 0;
}
