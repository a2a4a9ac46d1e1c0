#include "storage/settings.h"

#include "app/app_state.h"
#include "storage/safe_file.h"

#include <cstring>
#include <string>

SettingsRecord settings;
static bool settingsUnread;

// A file far larger than the record is not the program's; it is treated as unreadable.
static const DWORD SETTINGS_SIZE_LIMIT = 65536;

static bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", installFolder);
}

void setDefaultSettings() {
    putDefaultSettings(settings);
}

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
    FileRead result = formatSettingsPath(path) ? readWholeFile(path, bytes, SETTINGS_SIZE_LIMIT)
                                               : FileRead::Missing;
    if (result != FileRead::Loaded)
        return result;
    // A shorter file fills only the leading bytes, the rest is zero, as at the first reading.
    memset(&settings, 0, sizeof settings);
    memcpy(&settings, bytes.data(),
           bytes.size() < sizeof settings ? bytes.size() : sizeof settings);
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
