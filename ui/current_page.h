// The page on screen. Only this module knows which page it is, whether its file could be read,
// what that file was when the program last read or wrote it, and whether the editor holds text
// that is not in it; every load, show, save and reload of the page goes through here.
//
// The text is copied out of the editor here and the tab's marker follows the outcome; the page
// file itself is written by storage. The autosave writes from a thread of its own, so that typing
// on a large page is not held up by the disk; every other save waits for its outcome, and any
// save first waits for a write still under way. A save with nothing new writes nothing, and a
// file that another program has replaced meanwhile (a sync program bringing in a copy from
// another machine) is never written over unasked.
#pragma once
#include <windows.h>

#include <string>

struct FileStamp;

// The page shown, 0..4; only showPage changes it.
extern const int& currentPage;
// False while the editor does not hold the current page's notes because its file could not be
// read; that file is then never written.
extern const bool& currentPageRead;

enum class PageSwitch { Shown, NotSaved, NotRead };

// Who saves: the timer's save writes in the background, every other one waits for its outcome;
// erasing all pages and a restore of a version write whatever the file holds, and keep the text
// they replace as a version.
enum class SaveBy { User, Timer, Erase, Restore };

// The editor holds no page until start-up shows one, so nothing is saved before.
void startWithoutPage();
// The editor took a change: typing, a paste, an editing command, an insertion, or a text that
// another program set.
void takePageChange();
// The editor holds text that is not in the page file; the tab's marker shows the same.
bool pageUnsaved();
// Counts the changes of the editor's text, each page shown in it included: a copy of the text
// taken at one count is still the text on screen while the count stays the same.
unsigned shownTextChanges();
// The editor holds exactly the bytes of the page file that has this stamp: the file was read as
// stored or written from the editor, nothing has changed since, and no save is under way.
bool shownPageIsItsFile(const FileStamp& stamp);

// Makes another page current. The page being left is saved first; when that save fails and
// the editor holds unsaved text, or the new page's file cannot be read, nothing changes. A page
// shown only for this run is not stored as the page to start on.
PageSwitch showPage(int page, bool storeAsStartPage = true);
// Settings that stood in for an unreadable settings file, or that another program has changed,
// give way to the file: the tabs, word wrap and the start-up Run value follow it.
void catchUpOnSettings();

// Writes the editor's text into the page file and waits for the outcome. On success the tab
// loses its marker; on failure a beep, and the first failure in a row is told with its reason.
// A copy that another program put in the file's place is kept as a version first, never asked
// about. Nothing is saved once the program is ending or the editor is gone.
bool savePage(int page, SaveBy by = SaveBy::User);
// A save that loses nothing: it succeeded, or the editor holds only what is already on disk.
bool saveCurrentPageOrKeep();
// The timer's save: the program goes on once the text is copied; the outcome is taken in on
// WM_PAGEWRITTEN, or by the next save.
void savePageInBackground(int page);
// Waits for a write under way and takes in its outcome; false when that write failed.
bool finishPageWrite();
// Takes in the outcome of a write that has ended, without waiting for one that has not.
void takeInFinishedPageWrite();
bool pageWritePending();
// The copy of the text is kept from save to save; it is let go when the page is left or the
// window hidden, so that a large page does not hold it for nothing. A write still under way is
// waited for.
void releaseSaveBuffer();
// Puts a version's text in the editor as one change that Undo takes back, and saves the page:
// the text it replaces is kept as a version first (unsaved text is saved beforehand). False,
// with nothing changed, when the page could not be saved.
bool restoreVersion(const std::string& text);
// Writes the empty text into the page file, keeping the text it replaces as a version; the text
// typed on the page shown is saved or kept as a version first, and the editor is emptied once
// the file is. False when the file keeps its notes, and then the editor too.
bool erasePage(int page);

// A warning question about the current page, its name in place of the format's "%s", with No as
// the default answer; true for Yes.
bool askAboutCurrentPage(const char* format);
// The program ends while the page holds text that could not be saved: the text is kept as a
// version, or where even that fails, in a file in the user's Documents folder, which the next
// start names. False when the text could be kept nowhere.
bool rescueUnsavedText();
