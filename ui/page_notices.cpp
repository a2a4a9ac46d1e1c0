#include "ui/page_notices.h"

#include "app/app_state.h"
#include "app/program_state.h"
#include "platform/system_message.h"
#include "storage/settings.h"
#include "ui/tray_icon.h"

#include <cstdio>

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

void tellPageNotSaved(int page, DWORD error) {
    if (!isPage(page) || notices.notSavedTold[page])
        return;
    notices.notSavedTold[page] = true;
    std::string reason = systemMessage(error);
    char text[256];
    snprintf(text, sizeof text,
             "The notes of \"%s\" could not be saved: %s They stay in %s until they can be.",
             settings.pageNames[page],
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
