#include "storage/settings.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/safe_file.h"

#include <cstring>
#include <fstream>

SettingsRecord settings;

static bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", installFolder);
}

void setDefaultSettings() {
    settings.startPage = 0;
    settings.wordWrap = 0;
    settings.autoStart = 1;
    for (int page = 0; page < PAGE_COUNT; ++page) {
        char name[7] = "Page 1";
        name[5] = static_cast<char>('1' + page);
        memcpy(settings.pageNames[page], name, sizeof name);
    }
}

void repairSettings(SettingsRecord& record) {
    if (record.startPage < 0 || record.startPage >= PAGE_COUNT)
        record.startPage = 0;
    for (char* name : record.pageNames) {
        if (!memchr(name, '\0', sizeof record.pageNames[0]))
            name[sizeof record.pageNames[0] - 1] = '\0';
    }
}

bool saveSettings() {
    char path[MAX_PATH];
    return formatSettingsPath(path) && replaceFileContents(path, &settings, sizeof settings);
}

void writeDefaultSettings() {
    setDefaultSettings();
    saveSettings();
}

void loadSettings() {
    char path[MAX_PATH];
    std::ifstream file;
    if (formatSettingsPath(path))
        file.open(path, std::ios::in | std::ios::binary);
    if (!file.is_open()) {
        writeDefaultSettings();
        return;
    }
    file.read(reinterpret_cast<char*>(&settings), sizeof settings);
    repairSettings(settings);
}
