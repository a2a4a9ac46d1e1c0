// The settings file, Data\Settings.dat, and the one settings record of the program.
#pragma once
#include "storage/settings_record.h"

extern SettingsRecord settings;

void setDefaultSettings();
bool saveSettings();
void writeDefaultSettings();
void loadSettings();
void removeLeftoverSettingsFile();
