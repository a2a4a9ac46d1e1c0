// Any settings file, of any length and content, loads into a record that stays within the
// five pages and keeps every name inside its 20 bytes.
#include "storage/settings_record.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsRecord record;
    memset(&record, 0, sizeof record);
    memcpy(&record, data, size < sizeof record ? size : sizeof record);
    SettingsRecord loaded = record;
    repairSettings(record);

    if (record.startPage < 0 || record.startPage >= PAGE_COUNT)
        abort();
    for (const char* name : record.pageNames) {
        if (strnlen(name, sizeof record.pageNames[0]) >= sizeof record.pageNames[0])
            abort();
    }
    if (memcmp(record.reserved, loaded.reserved, sizeof record.reserved) != 0 ||
        record.autoStart != loaded.autoStart || record.wordWrap != loaded.wordWrap)
        abort();
    // A sound record is left exactly as it was.
    bool sound = loaded.startPage >= 0 && loaded.startPage < PAGE_COUNT;
    for (const char* name : loaded.pageNames)
        sound = sound && memchr(name, '\0', sizeof loaded.pageNames[0]);
    if (sound && memcmp(&record, &loaded, sizeof record) != 0)
        abort();
    return 0;
}
