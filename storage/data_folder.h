// The Data folder of the install folder, which holds every file of the notes: Data\Page0.txt ..
// Data\Page4.txt, Data\Settings.dat and the versions in Data\History\Page<n>\. Start-up sets its
// place once; every path under it is built here.
#pragma once
#include <windows.h>

// The paths of the files in the install folder's Data folder fit in MAX_PATH.
bool dataFolderFits(const char* installFolder);
// The install folder that start-up found: every path below is built under its Data folder.
void setDataFolder(const char* installFolder);

// Formats a path into a MAX_PATH buffer; false when it would not fit, so that no caller ever
// works on a cut path.
bool formatPath(char (&path)[MAX_PATH], const char* format, ...);

bool formatDataFolderPath(char (&path)[MAX_PATH]);
// Data\Page0.txt .. Data\Page4.txt; false for any other page.
bool formatPagePath(char (&path)[MAX_PATH], int page);
bool formatSettingsPath(char (&path)[MAX_PATH]);
bool formatHistoryFolderPath(char (&path)[MAX_PATH]);
// A page's folder of versions, or with a name, a file in it; false for a page that is none of
// the five.
bool formatHistoryPath(char (&path)[MAX_PATH], int page, const char* name = "");
