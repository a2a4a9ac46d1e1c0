#include "storage/settings.h"

#include "app/app_state.h"
#include "storage/safe_file.h"

#include <cstring>
#include <string>

SettingsRecord settings;
static bool settingsUnread;

static bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", installFolder);
}

void setDefaultSettings() {
    putDefaultSettings(settings);
}

// A file that could not be read is kept even where the system would let it be replaced.
bool saveSettings() {
    char path[MAX_PATH];
    return !settingsUnread && formatSettingsPath(path) &&
           replaceFileContents(path, &settings, sizeof settings);
}

void writeDefaultSettings() {
    setDefaultSettings();
    saveSettings();
}

void removeLeftoverSettingsFile() {
    char path[MAX_PATH];
    char temporaryPath[MAX_PATH];
    if (formatSettingsPath(path) && formatTemporaryPath(temporaryPath, path))
        DeleteFileA(temporaryPath);
}

static FileRead readSettingsFile() {
    char path[MAX_PATH];
    std::string bytes;
    FileRead result =
        formatSettingsPath(path) ? readFileStart(path, bytes, sizeof settings) : FileRead::Missing;
    if (result != FileRead::Loaded)
        return result;
    // A shorter file fills only the leading bytes, the rest is zero, as at the first reading.
    memset(&settings, 0, sizeof settings);
    memcpy(&settings, bytes.data(), bytes.size());
    repairSettings(settings);
    settingsUnread = false;
    return result;
}

void loadSettings() {
    switch (readSettingsFile()) {
        case FileRead::Loaded: break;
        case FileRead::Missing:
            settingsUnread = false;
            writeDefaultSettings();
            break;
        case FileRead::Failed:
            setDefaultSettings();
            settingsUnread = true;
            break;
    }
}

bool settingsFileUnread() {
    return settingsUnread;
}

bool readSettingsAgain() {
    if (!settingsUnread)
        return false;
    FileRead result = readSettingsFile();
    // A file removed meanwhile no longer needs keeping: the defaults may be written.
    if (result == FileRead::Missing)
        settingsUnread = false;
    return result == FileRead::Loaded;
}

void chooseSettings() {
    settingsUnread = false;
}
