#include "storage/page_history.h"

#include "app/program_state.h"
#include "platform/system_message.h"
#include "storage/data_folder.h"
#include "storage/settings_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

static const ULONGLONG EDITS_PER_VERSION = 10 * MINUTE_IN_FILETIME;
static const ULONGLONG EVERY_VERSION_KEPT_FOR = 7 * DAY_IN_FILETIME;
static const ULONGLONG VERSIONS_KEPT_FOR = 90 * DAY_IN_FILETIME;
static const ULONGLONG SMALLEST_SIZE_LIMIT = 64ull << 20;
static const ULONGLONG SIZE_LIMIT_IN_PAGES = 8;

namespace {

struct PageHistoryState {
    // The newest version's time, once the page's folder has been listed in this run.
    bool newestKnown = false;
    bool hasVersions = false;
    ULONGLONG newest = 0;
    // By this run's clock, when a version of the page was last kept.
    ULONGLONG keptThisRunAt = 0;
    HistoryTrouble trouble = {0, std::string()};
};

struct HistoryState {
    PageHistoryState pages[PAGE_COUNT];
    ULONGLONG random = 0;
};

struct OccasionName {
    VersionOccasion occasion;
    const char* tag; // the end of the file name
    const char* note;
};

const OccasionName OCCASIONS[] = {
    {VersionOccasion::Edits, "", ""},
    {VersionOccasion::EraseAll, "-erased", "Before Erase all"},
    {VersionOccasion::Restore, "-restore", "Before a restore"},
    {VersionOccasion::TakenIn, "-taken", "Before a copy came in"},
    {VersionOccasion::OtherProgram, "-other", "Another program's copy"},
    {VersionOccasion::AsItWas, "-original", "The file as it was"},
    {VersionOccasion::Unsaved, "-unsaved", "Not saved at the end"},
};

} // namespace

static ProgramState<HistoryState> history;

static ULONGLONG fileTimeValue(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG currentFileTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeValue(now);
}

bool versionWanted(bool pageHasVersions, ULONGLONG sinceNewestVersion, ULONGLONG oldSize,
                   ULONGLONG newSize, bool sameText, VersionOccasion occasion) {
    // An empty page holds nothing to go back to.
    if (sameText || oldSize == 0)
        return false;
    if (occasion != VersionOccasion::Edits || !pageHasVersions)
        return true;
    return sinceNewestVersion >= EDITS_PER_VERSION || newSize * 2 < oldSize;
}

static ULONGLONG ageOf(const PageVersion& version, ULONGLONG now) {
    return now > version.keptAt ? now - version.keptAt : 0;
}

// The user's calendar day on which a version was kept, in the time zone's rule for that date.
static ULONGLONG localDayOf(ULONGLONG keptAt) {
    FILETIME time = {static_cast<DWORD>(keptAt), static_cast<DWORD>(keptAt >> 32)};
    SYSTEMTIME utc;
    SYSTEMTIME local;
    FILETIME localTime;
    if (!FileTimeToSystemTime(&time, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &localTime))
        return keptAt / DAY_IN_FILETIME;
    return fileTimeValue(localTime) / DAY_IN_FILETIME;
}

static bool isOrdinary(const PageVersion& version) {
    return version.occasion == VersionOccasion::Edits;
}

// A day's versions are grouped by the day on which they were kept, never by their age at this
// prune: ages move on between prunes, days do not.
static std::vector<bool> versionsByDate(const std::vector<PageVersion>& newestFirst,
                                        ULONGLONG now) {
    std::vector<bool> kept(newestFirst.size(), false);
    ULONGLONG dayOfNewestOrdinary = ~0ull;
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const PageVersion& version = newestFirst[i];
        ULONGLONG age = ageOf(version, now);
        ULONGLONG day = isOrdinary(version) ? localDayOf(version.keptAt) : 0;
        if (i == 0 || age < EVERY_VERSION_KEPT_FOR)
            kept[i] = true;
        else if (age < VERSIONS_KEPT_FOR)
            kept[i] = !isOrdinary(version) || day != dayOfNewestOrdinary;
        if (kept[i] && isOrdinary(version))
            dayOfNewestOrdinary = day;
    }
    return kept;
}

std::vector<size_t> versionsToPrune(const std::vector<PageVersion>& newestFirst, ULONGLONG now,
                                    ULONGLONG pageSize) {
    std::vector<bool> kept = versionsByDate(newestFirst, now);
    ULONGLONG limit = std::max(SMALLEST_SIZE_LIMIT, SIZE_LIMIT_IN_PAGES * pageSize);
    ULONGLONG total = 0;
    for (size_t i = 0; i < newestFirst.size(); ++i)
        total += kept[i] ? newestFirst[i].size : 0;
    // Ordinary versions go first, the versions of special occasions last; the oldest first.
    for (bool ordinary : {true, false}) {
        for (size_t i = newestFirst.size(); i-- > 1 && total > limit;) {
            if (kept[i] && isOrdinary(newestFirst[i]) == ordinary) {
                kept[i] = false;
                total -= newestFirst[i].size;
            }
        }
    }
    std::vector<size_t> pruned;
    for (size_t i = 0; i < newestFirst.size(); ++i)
        if (!kept[i])
            pruned.push_back(i);
    return pruned;
}

static const OccasionName& occasionName(VersionOccasion occasion) {
    for (const OccasionName& name : OCCASIONS)
        if (name.occasion == occasion)
            return name;
    return OCCASIONS[0];
}

const char* occasionNote(VersionOccasion occasion) {
    return occasionName(occasion).note;
}

// "20261208-110105-123-5f3a9c01.txt": the time kept, to the millisecond in UTC, a random part
// and the occasion's tag.
static std::string versionName(ULONGLONG keptAt, unsigned random, VersionOccasion occasion) {
    FILETIME time = {static_cast<DWORD>(keptAt), static_cast<DWORD>(keptAt >> 32)};
    SYSTEMTIME utc;
    FileTimeToSystemTime(&time, &utc);
    char name[64];
    snprintf(name, sizeof name, "%04u%02u%02u-%02u%02u%02u-%03u-%08x%s.txt", utc.wYear, utc.wMonth,
             utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds, random,
             occasionName(occasion).tag);
    return name;
}

// The fixed part of a version's name: digits, dashes where they belong, the random part in hex.
static bool hasVersionShape(const char* name) {
    static const char SHAPE[] = "dddddddd-dddddd-ddd-xxxxxxxx";
    for (size_t i = 0; i + 1 < sizeof SHAPE; ++i) {
        char c = name[i];
        bool fits = SHAPE[i] == '-'   ? c == '-'
                    : SHAPE[i] == 'd' ? c >= '0' && c <= '9'
                                      : (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!fits)
            return false;
    }
    return true;
}

static bool readVersionName(const char* name, PageVersion& version) {
    unsigned year, month, day, hour, minute, second, millisecond, random;
    char tag[16] = {};
    if (!hasVersionShape(name) || sscanf(name, "%4u%2u%2u-%2u%2u%2u-%3u-%8x", &year, &month, &day,
                                         &hour, &minute, &second, &millisecond, &random) != 8)
        return false;
    const char* rest = name + 28;
    const char* extension = strrchr(rest, '.');
    if (!extension || _stricmp(extension, ".txt") != 0 ||
        static_cast<size_t>(extension - rest) >= sizeof tag)
        return false;
    memcpy(tag, rest, extension - rest);
    SYSTEMTIME utc = {
        static_cast<WORD>(year),   static_cast<WORD>(month),      0,
        static_cast<WORD>(day),    static_cast<WORD>(hour),       static_cast<WORD>(minute),
        static_cast<WORD>(second), static_cast<WORD>(millisecond)};
    FILETIME time;
    if (!SystemTimeToFileTime(&utc, &time))
        return false;
    version.keptAt = fileTimeValue(time);
    for (const OccasionName& occasion : OCCASIONS) {
        if (strcmp(occasion.tag, tag) == 0) {
            version.occasion = occasion.occasion;
            return true;
        }
    }
    return false;
}

// The versions in the page's folder whose names end as the pattern says.
static std::vector<PageVersion> readHistoryFolder(int page, const char* ending = "*.txt") {
    std::vector<PageVersion> versions;
    char pattern[MAX_PATH];
    if (!formatHistoryPath(pattern, page, ending))
        return versions;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return versions;
    do {
        PageVersion version;
        char path[MAX_PATH];
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !readVersionName(found.cFileName, version) ||
            !formatHistoryPath(path, page, found.cFileName))
            continue;
        version.path = path;
        version.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        versions.push_back(version);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return versions;
}

// What is learnt here of the newest version holds also when the folder is found empty or gone.
std::vector<PageVersion> listPageVersions(int page) {
    std::vector<PageVersion> versions = readHistoryFolder(page);
    std::sort(versions.begin(), versions.end(), [](const PageVersion& a, const PageVersion& b) {
        return a.keptAt != b.keptAt ? a.keptAt > b.keptAt : a.path > b.path;
    });
    if (page < 0 || page >= PAGE_COUNT)
        return versions;
    PageHistoryState& state = history.pages[page];
    state.newestKnown = true;
    state.hasVersions = !versions.empty();
    state.newest = versions.empty() ? 0 : versions.front().keptAt;
    return versions;
}

// Only the versions of the occasion are listed: a page may have a thousand of others.
ULONGLONG newestVersionOf(int page, VersionOccasion occasion) {
    std::string ending = std::string("*") + occasionName(occasion).tag + ".txt";
    ULONGLONG newest = 0;
    for (const PageVersion& version : readHistoryFolder(page, ending.c_str()))
        if (version.occasion == occasion)
            newest = std::max(newest, version.keptAt);
    return newest;
}

HistoryTrouble historyTrouble(int page) {
    return page >= 0 && page < PAGE_COUNT ? history.pages[page].trouble : HistoryTrouble{0, ""};
}

static void noteTrouble(int page, DWORD error) {
    HistoryTrouble& trouble = history.pages[page].trouble;
    if (trouble.since == 0)
        trouble.since = currentFileTime();
    trouble.reason = systemMessage(error);
}

// Mixed from the clock, the process and a counter: names made at the same moment, here or on
// another computer, differ.
static unsigned nextRandom() {
    if (history.random == 0) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        history.random = static_cast<ULONGLONG>(counter.QuadPart) ^
                         (static_cast<ULONGLONG>(GetCurrentProcessId()) << 32) ^ currentFileTime();
    }
    ULONGLONG z = (history.random += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<unsigned>(z ^ (z >> 31));
}

static bool makeHistoryFolder(int page, DWORD& error) {
    char path[MAX_PATH];
    char parent[MAX_PATH];
    if (!formatHistoryPath(path, page) || !formatHistoryFolderPath(parent)) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    CreateDirectoryA(parent, nullptr);
    CreateDirectoryA(path, nullptr);
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
    return false;
}

static PageHistoryState& knownHistory(int page) {
    PageHistoryState& state = history.pages[page];
    if (!state.newestKnown)
        listPageVersions(page);
    return state;
}

// A version's time never goes back: after a clock set back, or a version made where the clock
// ran ahead, the names still sort in the order in which the versions were kept.
static std::string newVersionPath(int page, VersionOccasion occasion) {
    const PageHistoryState& state = knownHistory(page);
    ULONGLONG keptAt = std::max(currentFileTime(), state.hasVersions ? state.newest + 10000 : 0);
    char path[MAX_PATH];
    formatHistoryPath(path, page, versionName(keptAt, nextRandom(), occasion).c_str());
    return path;
}

static void pruneVersions(int page, ULONGLONG pageSize) {
    std::vector<PageVersion> versions = listPageVersions(page);
    for (size_t index : versionsToPrune(versions, currentFileTime(), pageSize))
        DeleteFileA(versions[index].path.c_str());
}

static void noteKept(int page, ULONGLONG pageSize) {
    PageHistoryState& state = history.pages[page];
    state.trouble = {0, std::string()};
    state.keptThisRunAt = currentFileTime();
    pruneVersions(page, pageSize);
}

bool keepTextAsVersion(int page, const char* text, DWORD length, VersionOccasion occasion) {
    DWORD error = 0;
    FileStamp stamp;
    if (length == 0 || page < 0 || page >= PAGE_COUNT)
        return false;
    if (!makeHistoryFolder(page, error) ||
        !replaceFileContents(newVersionPath(page, occasion).c_str(), text, length, stamp)) {
        noteTrouble(page, error ? error : GetLastError());
        return false;
    }
    noteKept(page, length);
    return true;
}

bool keepFileAsVersion(int page, const char* path, VersionOccasion occasion) {
    if (page < 0 || page >= PAGE_COUNT)
        return false;
    DWORD error = 0;
    bool kept = makeHistoryFolder(page, error) &&
                CopyFileA(path, newVersionPath(page, occasion).c_str(), TRUE);
    if (!kept) {
        error = error ? error : GetLastError();
        noteTrouble(page, error);
        SetLastError(error);
        return false;
    }
    FileStamp stamp;
    noteKept(page, stampFile(path, stamp) == FileRead::Loaded ? stamp.sizeLow : 0);
    return true;
}

// The time since the page's newest version, as the rule of ten minutes takes it. A newest
// version dated ahead of the clock tells nothing of when the edits began: then the versions that
// this run kept set the pace.
static ULONGLONG sinceNewestVersion(const PageHistoryState& state) {
    ULONGLONG now = currentFileTime();
    if (state.newest <= now)
        return now - state.newest;
    return state.keptThisRunAt && state.keptThisRunAt <= now ? now - state.keptThisRunAt : ~0ull;
}

// The file holds exactly these bytes.
static bool fileHolds(const char* path, const char* text, DWORD length) {
    std::string bytes;
    FileStamp stamp;
    return readWholeFile(path, bytes, length, stamp) == FileRead::Loaded &&
           bytes.size() == length && memcmp(bytes.data(), text, length) == 0;
}

// Where no hard link can be made, the version is a copy; a copy that another program renamed in
// while this one was made must not be replaced unseen, so the save stops and its second try
// keeps that copy too. The copy made stays a version: it holds the text that was replaced.
bool PageVersioning::copyAside(const char* pagePath, const std::string& path,
                               const FileStamp& old) {
    if (!CopyFileA(pagePath, path.c_str(), TRUE))
        return false;
    FileStamp now;
    if (stampFile(pagePath, now) == FileRead::Loaded && now == old) {
        aside = path;
        return true;
    }
    noteKept(request.page, oldSize);
    lookAgain = true;
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
}

bool PageVersioning::setAside(const char* pagePath, const char* newText, DWORD newLength) {
    int page = request.page;
    FileStamp old;
    lookAgain = heldUp = false;
    FileRead look = stampFile(pagePath, old);
    if (!aside.empty() || page < 0 || page >= PAGE_COUNT || look == FileRead::Missing)
        return true;
    // A file that cannot be looked at cannot be kept either.
    if (look == FileRead::Failed) {
        heldUp = request.occasion != VersionOccasion::Edits;
        return !heldUp;
    }
    oldSize = (static_cast<ULONGLONG>(old.sizeHigh) << 32) | old.sizeLow;
    // A file that is not the one the program last read or wrote is another program's copy.
    bool othersCopy = request.expected == ExpectedFile::Missing ||
                      (request.expected == ExpectedFile::Stamped && old != request.expectedStamp);
    occasion = othersCopy ? VersionOccasion::OtherProgram : request.occasion;
    const PageHistoryState& state = knownHistory(page);
    wanted = versionWanted(state.hasVersions, sinceNewestVersion(state), oldSize, newLength, false,
                           occasion);
    // Only a text of the same length can be the same text; it is read only then.
    if (wanted && oldSize == newLength)
        wanted = !fileHolds(pagePath, newText, newLength);
    DWORD error = 0;
    if (makeHistoryFolder(page, error)) {
        std::string path = newVersionPath(page, wanted ? occasion : VersionOccasion::Edits);
        if (CreateHardLinkA(path.c_str(), pagePath, nullptr)) {
            aside = path;
            linked = true;
            return true;
        }
        if (wanted && copyAside(pagePath, path, old))
            return true;
        if (lookAgain)
            return false;
        error = GetLastError();
    }
    if (!wanted)
        return true;
    noteTrouble(page, error);
    SetLastError(error);
    // The text that a special occasion replaces may be its only copy: without its version the
    // save does not go ahead. An ordinary edit's version may be missed.
    heldUp = occasion != VersionOccasion::Edits;
    return !heldUp;
}

void PageVersioning::settle(bool replaced, DWORD newLength) {
    if (aside.empty())
        return;
    bool displacedOther = false;
    if (replaced && linked && occasion != VersionOccasion::OtherProgram &&
        request.expected == ExpectedFile::Stamped) {
        FileStamp setAside;
        displacedOther = stampFile(aside.c_str(), setAside) == FileRead::Loaded &&
                         setAside != request.expectedStamp;
    }
    if (displacedOther) {
        std::string other = newVersionPath(request.page, VersionOccasion::OtherProgram);
        displaced = MoveFileA(aside.c_str(), other.c_str()) ? other : aside;
    } else if (!replaced || !wanted) {
        DeleteFileA(aside.c_str());
        aside.clear();
        return;
    } else if (occasion == VersionOccasion::OtherProgram) {
        displaced = aside;
    }
    // Erase all or a page cut to nothing must not shrink the room of the versions that matter.
    noteKept(request.page, std::max<ULONGLONG>(oldSize, newLength));
    aside.clear();
}
