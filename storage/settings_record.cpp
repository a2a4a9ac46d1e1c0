#include "storage/settings_record.h"

#include <cstring>

void putDefaultSettings(SettingsRecord& record) {
    record.startPage = 0;
    record.wordWrap = 0;
    record.autoStart = 1;
    for (int page = 0; page < PAGE_COUNT; ++page) {
        char name[7] = "Page 1";
        name[5] = static_cast<char>('1' + page);
        memcpy(record.pageNames[page], name, sizeof name);
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
