#include "storage/settings.h"

#include "app/program_state.h"
#include "storage/data_folder.h"
#include "storage/safe_file.h"

#include <cstring>
#include <string>

namespace {

// The file as the program last read or wrote it.
struct SettingsOnDisk {
    bool known = false;
    FileStamp stamp = {};
    std::string bytes;
};

struct SettingsState {
    SettingsRecord record = {};
    // The file exists but could not be read: the record holds defaults that stand in for it.
    bool unread = false;
    SettingsOnDisk onDisk;
};

} // namespace

static ProgramState<SettingsState> settingsState;
const SettingsRecord& settings = settingsState.record;

static std::string recordBytes() {
    return std::string(reinterpret_cast<const char*>(&settings), sizeof settings);
}

static void setDefaultSettings() {
    putDefaultSettings(settingsState.record);
}

void setStartPage(int page) {
    if (page >= 0 && page < PAGE_COUNT)
        settingsState.record.startPage = static_cast<int16_t>(page);
}

void setWordWrap(bool wrap) {
    settingsState.record.wordWrap = wrap ? 1 : 0;
}

void setAutoStart(bool startWithWindows) {
    settingsState.record.autoStart = startWithWindows ? 1 : 0;
}

void setPageName(int page, const char* name) {
    if (page < 0 || page >= PAGE_COUNT)
        return;
    char entry[sizeof settings.pageNames[0]] = {};
    lstrcpynA(entry, name, sizeof entry);
    memcpy(settingsState.record.pageNames[page], entry, sizeof entry);
}

// The file is still the one the program left, and holds the record as it stands.
static bool fileHoldsRecord(const char* path) {
    FileStamp now;
    return settingsState.onDisk.known && stampFile(path, now) == FileRead::Loaded &&
           now == settingsState.onDisk.stamp && now.sizeHigh == 0 &&
           now.sizeLow == sizeof settings && settingsState.onDisk.bytes == recordBytes();
}

// A file that could not be read is kept even where the system would let it be replaced, and
// one that already holds the record is not written again.
bool saveSettings() {
    char path[MAX_PATH];
    if (settingsState.unread || !formatSettingsPath(path))
        return false;
    if (fileHoldsRecord(path))
        return true;
    if (!replaceFileContents(path, &settings, sizeof settings, settingsState.onDisk.stamp))
        return false;
    settingsState.onDisk.known = true;
    settingsState.onDisk.bytes = recordBytes();
    return true;
}

static void writeDefaultSettings() {
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
    SettingsRecord& record = settingsState.record;
    memset(&record, 0, sizeof record);
    memcpy(&record, bytes.data(), bytes.size());
    repairSettings(record);
    settingsState.unread = false;
    settingsState.onDisk = {true, stamp, bytes};
    return result;
}

void loadSettings() {
    settingsState.onDisk.known = false;
    switch (readSettingsFile()) {
        case FileRead::Loaded: break;
        case FileRead::Missing:
            settingsState.unread = false;
            writeDefaultSettings();
            break;
        case FileRead::Failed:
            setDefaultSettings();
            settingsState.unread = true;
            break;
    }
}

bool settingsFileUnread() {
    return settingsState.unread;
}

// Another program wrote the file since the program last read or wrote it.
static bool changedElsewhere() {
    char path[MAX_PATH];
    FileStamp now;
    return formatSettingsPath(path) && stampFile(path, now) == FileRead::Loaded &&
           (!settingsState.onDisk.known || now != settingsState.onDisk.stamp);
}

bool readSettingsAgain() {
    if (!settingsState.unread && !changedElsewhere())
        return false;
    FileRead result = readSettingsFile();
    // A file removed meanwhile no longer needs keeping: the defaults may be written.
    if (result == FileRead::Missing)
        settingsState.unread = false;
    return result == FileRead::Loaded;
}

void chooseSettings() {
    settingsState.unread = false;
}
