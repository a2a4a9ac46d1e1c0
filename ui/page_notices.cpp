#include "ui/page_notices.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/system_message.h"
#include "platform/view_settings.h"
#include "storage/page_history.h"
#include "storage/settings.h"
#include "ui/tray_icon.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

struct PageNoticesState {
    bool notSavedTold[PAGE_COUNT] = {};
    bool readingTold[PAGE_COUNT] = {};
};

} // namespace

static ProgramState<PageNoticesState> notices;

static bool isPage(int page) {
    return page >= 0 && page < PAGE_COUNT;
}

void tellOtherProgramsCopyKept(int page) {
    if (!isPage(page))
        return;
    char text[256];
    snprintf(text, sizeof text,
             "Another program also changed the notes of \"%s\". Your text stays the page; the "
             "other program's text is in Previous Versions.",
             settings.pageNames[page]);
    showBalloon("Notes changed by another program", text, NIIF_INFO);
}

void tellPageNotSaved(int page, DWORD error, bool versionNotKept) {
    if (!isPage(page) || notices.notSavedTold[page])
        return;
    notices.notSavedTold[page] = true;
    std::string reason = systemMessage(error);
    char text[256];
    snprintf(text, sizeof text,
             "The notes of \"%s\" could not be saved%s: %s They stay in %s until they can be.",
             settings.pageNames[page],
             versionNotKept ? ", as the text they replace could not be kept in Previous Versions"
                            : "",
             reason.empty() ? "the system gave no reason." : reason.c_str(), appCaption);
    showBalloon("Notes not saved", text, NIIF_WARNING);
}

void forgetPageNotSaved(int page) {
    if (isPage(page))
        notices.notSavedTold[page] = false;
}

void tellPageReadOddly(int page, PageReading reading) {
    if (!isPage(page) || reading == PageReading::AsStored || notices.readingTold[page])
        return;
    notices.readingTold[page] = true;
    const char* how = reading == PageReading::CutAtNul   ? "cut at a NUL byte, where its text ends"
                      : reading == PageReading::FromUtf8 ? "converted from UTF-8"
                                                         : "converted from UTF-16";
    char text[256];
    snprintf(text, sizeof text,
             "The file of \"%s\" was %s, as a page keeps 8-bit text. The file as it was goes to "
             "Previous Versions before the page is first saved.",
             settings.pageNames[page], how);
    showBalloon("Notes converted", text, NIIF_INFO);
}

void recordTextInDocuments(int page, const std::string& file) {
    DocumentsRescue rescue = {static_cast<DWORD>(page), {}};
    lstrcpynA(rescue.file, file.c_str(), sizeof rescue.file);
    writeDocumentsRescue(rescue);
}

static bool tellTextInDocuments() {
    DocumentsRescue rescue;
    if (!takeDocumentsRescue(rescue) || !isPage(static_cast<int>(rescue.page)))
        return false;
    const char* name = strrchr(rescue.file, '\\');
    char text[256];
    snprintf(text, sizeof text,
             "The notes of \"%s\" that could not be saved when %s last ended are in your "
             "Documents folder, in \"%s\".",
             settings.pageNames[rescue.page], appCaption, name ? name + 1 : rescue.file);
    showBalloon("Notes kept at the end", text, NIIF_WARNING);
    return true;
}

// A version of text not saved at the end that is newer than its page file holds the page's
// latest text; one the user has been told of is not told again.
static ULONGLONG untoldRescue(int page, ULONGLONG toldUpTo) {
    ULONGLONG keptAt = newestVersionOf(page, VersionOccasion::Unsaved);
    char path[MAX_PATH];
    FileStamp stamp = {};
    if (keptAt <= toldUpTo || !formatPagePath(path, page))
        return 0;
    bool newerThanFile = stampFile(path, stamp) != FileRead::Loaded ||
                         keptAt > (static_cast<ULONGLONG>(stamp.written.dwHighDateTime) << 32 |
                                   stamp.written.dwLowDateTime);
    return newerThanFile ? keptAt : 0;
}

void tellTextKeptAtLastEnd() {
    if (tellTextInDocuments())
        return;
    ULONGLONG toldUpTo = readRescuesToldUpTo();
    ULONGLONG newest = toldUpTo;
    std::string pages;
    for (int page = 0; page < PAGE_COUNT; ++page) {
        ULONGLONG keptAt = untoldRescue(page, toldUpTo);
        if (!keptAt)
            continue;
        pages += std::string(pages.empty() ? "" : ", ") + "\"" + settings.pageNames[page] + "\"";
        newest = std::max(newest, keptAt);
    }
    if (pages.empty())
        return;
    writeRescuesToldUpTo(newest);
    char text[256];
    snprintf(text, sizeof text,
             "The notes of %s that could not be saved when %s last ended are in Previous "
             "Versions (right-click the title bar), marked \"%s\".",
             pages.c_str(), appCaption, occasionNote(VersionOccasion::Unsaved));
    showBalloon("Notes kept at the end", text, NIIF_WARNING);
}
