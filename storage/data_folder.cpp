#include "storage/data_folder.h"

#include "app/program_state.h"
#include "storage/settings_record.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

struct DataFolderState {
    char installFolder[MAX_PATH] = {};
};

} // namespace

static ProgramState<DataFolderState> dataFolder;

// The most that the paths of the Data folder's own files add to the install folder.
static const char* const LONGEST_NAME = "\\Data\\Settings.dat";

bool dataFolderFits(const char* installFolder) {
    return strnlen(installFolder, MAX_PATH) + strlen(LONGEST_NAME) < MAX_PATH;
}

void setDataFolder(const char* installFolder) {
    lstrcpynA(dataFolder.installFolder, installFolder, sizeof dataFolder.installFolder);
}

bool formatPath(char (&path)[MAX_PATH], const char* format, ...) {
    ZeroMemory(path, sizeof path);
    va_list args;
    va_start(args, format);
    int length = vsnprintf(path, sizeof path, format, args);
    va_end(args);
    if (length >= 0 && length < static_cast<int>(sizeof path))
        return true;
    ZeroMemory(path, sizeof path);
    return false;
}

static bool isPage(int page) {
    return page >= 0 && page < PAGE_COUNT;
}

bool formatDataFolderPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data", dataFolder.installFolder);
}

bool formatPagePath(char (&path)[MAX_PATH], int page) {
    return isPage(page) && formatPath(path, "%s\\Data\\Page%d.txt", dataFolder.installFolder, page);
}

bool formatSettingsPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\Settings.dat", dataFolder.installFolder);
}

bool formatHistoryFolderPath(char (&path)[MAX_PATH]) {
    return formatPath(path, "%s\\Data\\History", dataFolder.installFolder);
}

bool formatHistoryPath(char (&path)[MAX_PATH], int page, const char* name) {
    return isPage(page) &&
           formatPath(path, "%s\\Data\\History\\Page%d\\%s", dataFolder.installFolder, page, name);
}
