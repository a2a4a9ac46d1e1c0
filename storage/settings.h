// The settings file, Data\Settings.dat, and the one settings record of the program.
#pragma once
#include "storage/settings_record.h"

// Read-only: the operations below change the record, and saveSettings writes it.
extern const SettingsRecord& settings;

// The page shown, to start on next time.
void setStartPage(int page);
void setWordWrap(bool wrap);
void setAutoStart(bool startWithWindows);
// The name fills the page's entry, the bytes after it zero; a longer one is cut to 19
// characters.
void setPageName(int page, const char* name);

// Writes the record; refused while the file exists but has not been read. A file that is still
// the one the program left and holds the record already is not written again.
bool saveSettings();
// Reads the file into the record. A missing file is created with the defaults; a file that
// exists but cannot be read (another program holds it) leaves the defaults in the record and
// is not written until it has been read or the user has chosen new settings.
void loadSettings();
void removeLeftoverSettingsFile();
// The file could not be read: the record holds defaults that stand in for it.
bool settingsFileUnread();
// Reads the file again when it could not be read before, or when another program has written
// it since the program last read or wrote it (a sync program bringing in a rename made on
// another machine); true when the record now holds it.
bool readSettingsAgain();
// The user has chosen the settings in the record: they are written even over a file that
// could not be read.
void chooseSettings();
