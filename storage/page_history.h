// Previous versions of the pages, so that a slip (a selection typed over, a paragraph deleted,
// Erase all answered Yes) is never made permanent by the next save. Data\History\Page<n>\ holds
// one plain file per version with the page file's bytes exactly as they were. Its name is the
// time it was kept, in UTC, so that names sort by time; then a random part, so that names never
// collide, not even between computers that share the Data folder; then the occasion, when there
// was a special one.
#pragma once
#include <windows.h>

#include "storage/safe_file.h"

#include <string>
#include <vector>

// Why a version was kept: the user's edits of a while, or a text that a special occasion
// replaced or set aside.
enum class VersionOccasion {
    Edits,
    EraseAll,     // the text that Erase all replaced
    Restore,      // the text that a restore replaced
    TakenIn,      // the text that another program's copy of the page replaced on screen
    OtherProgram, // another program's copy that did not stay the page
    AsItWas,      // the file as it was before the program first changed it
    Unsaved,      // text that could not be saved when the program ended
};

struct PageVersion {
    std::string path;
    ULONGLONG keptAt; // UTC, in 100-nanosecond units since 1601, as a FILETIME counts
    ULONGLONG size;
    VersionOccasion occasion;
};

constexpr ULONGLONG MINUTE_IN_FILETIME = 600000000ull;
constexpr ULONGLONG DAY_IN_FILETIME = 1440 * MINUTE_IN_FILETIME;

ULONGLONG currentFileTime();

// Whether the text that a save is about to replace is kept as a version. Edits make one version
// every ten minutes, but a text cut to less than half its length is always kept, as is any text
// that a special occasion replaces; a text replaced by the same text never is.
bool versionWanted(bool pageHasVersions, ULONGLONG sinceNewestVersion, ULONGLONG oldSize,
                   ULONGLONG newSize, bool sameText, VersionOccasion occasion);

// Of the versions of one page, newest first, those to delete: every version of the last 7 days
// stays; of older ones, the newest of each calendar day on which the user edited, up to 90 days,
// and every version of a special occasion, which may be a text's only copy, up to 90 days too;
// the versions together take at most 64 MB or 8 times the page's size, whichever is larger,
// ordinary versions going first, the oldest first, but never the newest.
std::vector<size_t> versionsToPrune(const std::vector<PageVersion>& newestFirst, ULONGLONG now,
                                    ULONGLONG pageSize);

// The versions of a page, newest first; only the files whose names this program makes.
std::vector<PageVersion> listPageVersions(int page);
// When the page's newest version of the occasion was kept; 0 when it has none.
ULONGLONG newestVersionOf(int page, VersionOccasion occasion);
// What the list says of a version's occasion; empty for edits.
const char* occasionNote(VersionOccasion occasion);
// Keeps a text as a version of the page, written as a file of its own.
bool keepTextAsVersion(int page, const char* text, DWORD length, VersionOccasion occasion);
// Keeps a copy of the file as it stands as a version of the page: the file stays where it is,
// and a link would change with it. False, with the system's error code set, when it could not be
// kept.
bool keepFileAsVersion(int page, const char* path, VersionOccasion occasion);

// Since when versions of the page could not be kept, and why; `since` is 0 while they can be.
struct HistoryTrouble {
    ULONGLONG since;
    std::string reason;
};
HistoryTrouble historyTrouble(int page);

// What the program knows of the page file that a save is about to replace.
enum class ExpectedFile { Unknown, Missing, Stamped };

// How a save of a page file treats the text it replaces.
struct VersionRequest {
    int page = 0;
    VersionOccasion occasion = VersionOccasion::Edits;
    ExpectedFile expected = ExpectedFile::Unknown;
    FileStamp expectedStamp = {};
};

// A save of a page file, as far as its versions go. Just before the new file is renamed into
// place, the old one is linked aside (a hard link copies no byte); once the new file is in
// place, the old one becomes a version when the rules want it, or when it is not the file that
// the program last read or wrote (another program put it there meanwhile), and the link goes
// otherwise. Where the file system has no hard links, a version that is wanted, and any copy of
// another program's, is copied instead. Only a special occasion's version holds up the save:
// without it the old text may be lost; an ordinary edit's version may be missed.
class PageVersioning {
  public:
    explicit PageVersioning(const VersionRequest& request) : request(request) {}
    // Before the rename, with the text that is to replace the file; false, with the system's
    // error code set, when the file must not be replaced.
    bool setAside(const char* pagePath, const char* newText, DWORD newLength);
    // After the rename, or after it failed.
    void settle(bool replaced, DWORD newLength);
    // Another program's copy was displaced by the save and kept as this version; empty if none.
    const std::string& otherProgramsCopy() const { return displaced; }
    // The save did not go ahead because the version it needed could not be kept.
    bool heldUpTheSave() const { return heldUp; }

  private:
    bool copyAside(const char* pagePath, const std::string& path, const FileStamp& old);

    VersionRequest request;
    VersionOccasion occasion = VersionOccasion::Edits;
    ULONGLONG oldSize = 0;
    bool wanted = false;
    std::string aside; // the version file made before the rename, linked or copied
    bool linked = false;
    // The file was replaced by another program's while it was copied: the save tries again.
    bool lookAgain = false;
    bool heldUp = false;
    std::string displaced;
};
