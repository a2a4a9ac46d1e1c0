// The settings record and its file, Data\Settings.dat: the record's 124 bytes as they are.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct SettingsRecord {
    int16_t startPage;
    uint8_t autoStart;
    uint8_t wordWrap;
    char pageNames[5][20];
    uint8_t reserved[20];
};
#pragma pack(pop)
static_assert(sizeof(SettingsRecord) == 124, "the settings file is the record's 124 bytes");

extern SettingsRecord settings;

void setDefaultSettings();
// Keeps a damaged record within the five pages: a start page outside them becomes page 0
// and a name without its NUL is cut to 19 characters.
void repairSettings(SettingsRecord& record);
bool saveSettings();
void writeDefaultSettings();
void loadSettings();
