// The settings record: 124 bytes of options and page names, stored as they are.
#pragma once
#include <cstdint>

constexpr int PAGE_COUNT = 5;

#pragma pack(push, 1)
struct SettingsRecord {
    int16_t startPage;
    uint8_t autoStart;
    uint8_t wordWrap;
    char pageNames[PAGE_COUNT][20];
    uint8_t reserved[20];
};
#pragma pack(pop)
static_assert(sizeof(SettingsRecord) == 124, "the settings file is the record's 124 bytes");

// Start page 0, start with Windows on, no word wrap, "Page 1" .. "Page 5"; the bytes after
// each name's NUL and the reserved bytes keep their values.
void putDefaultSettings(SettingsRecord& record);
// Keeps a damaged record within the five pages: a start page outside them becomes page 0
// and a name without its NUL is cut to 19 characters.
void repairSettings(SettingsRecord& record);
