#include "storage/settings.h"

#include "app/app_state.h"
#include "storage/page_files.h"
#include "storage/safe_file.h"

#include <fstream>

SettingsRecord settings;

static bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", installFolder);
}

void setDefaultSettings() {
    putDefaultSettings(settings);
}

bool saveSettings() {
    char path[MAX_PATH];
    return formatSettingsPath(path) && replaceFileContents(path, &settings, sizeof settings);
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
