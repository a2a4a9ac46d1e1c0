#include "storage/settings.h"

#include "app/app_state.h"
#include "storage/safe_file.h"

#include <cstring>
#include <string>

SettingsRecord settings;
static bool settingsUnread;

namespace {

// The file as the program last read or wrote it.
struct SettingsOnDisk {
    bool known;
    FileStamp stamp;
    std::string bytes;
};

} // namespace

static SettingsOnDisk onDisk;

static bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", installFolder);
}

static std::string recordBytes() {
    return std::string(reinterpret_cast<const char*>(&settings), sizeof settings);
}

void setDefaultSettings() {
    putDefaultSettings(settings);
}

// The file is still the one the program left, and holds the record as it stands.
static bool fileHoldsRecord(const char* path) {
    FileStamp now;
    return onDisk.known && stampFile(path, now) == FileRead::Loaded && now == onDisk.stamp &&
           now.sizeHigh == 0 && now.sizeLow == sizeof settings && onDisk.bytes == recordBytes();
}

// A file that could not be read is kept even where the system would let it be replaced, and
// one that already holds the record is not written again.
bool saveSettings() {
    char path[MAX_PATH];
    if (settingsUnread || !formatSettingsPath(path))
        return false;
    if (fileHoldsRecord(path))
        return true;
    if (!replaceFileContents(path, &settings, sizeof settings, onDisk.stamp))
        return false;
    onDisk.known = true;
    onDisk.bytes = recordBytes();
    return true;
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
    FileStamp stamp;
    FileRead result = formatSettingsPath(path) ? readFileStart(path, bytes, sizeof settings, stamp)
                                               : FileRead::Missing;
    if (result != FileRead::Loaded)
        return result;
    // A shorter file fills only the leading bytes, the rest is zero, as at the first reading.
    memset(&settings, 0, sizeof settings);
    memcpy(&settings, bytes.data(), bytes.size());
    repairSettings(settings);
    settingsUnread = false;
    onDisk = {true, stamp, bytes};
    return result;
}

void loadSettings() {
    onDisk.known = false;
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

// Another program wrote the file since the program last read or wrote it.
static bool changedElsewhere() {
    char path[MAX_PATH];
    FileStamp now;
    return formatSettingsPath(path) && stampFile(path, now) == FileRead::Loaded &&
           (!onDisk.known || now != onDisk.stamp);
}

bool readSettingsAgain() {
    if (!settingsUnread && !changedElsewhere())
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
