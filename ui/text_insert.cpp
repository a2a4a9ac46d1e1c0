#include "ui/text_insert.h"

#include "ui/note_editor.h"

#include <cstdio>

const char* const SEPARATOR_LINE =
    "\r\n============================================================\r\n";

void formatDateTime(const SYSTEMTIME& date, const SYSTEMTIME& time, char (&text)[20]) {
    char timeOfDay[9];
    char day[9];
    snprintf(timeOfDay, sizeof timeOfDay, "%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
    snprintf(day, sizeof day, "%02u/%02u/%02u", date.wMonth, date.wDay, date.wYear % 100);
    snprintf(text, sizeof text, "%s - %s", day, timeOfDay);
}

static void replaceSelection(const char* text) {
    SendMessageA(noteEditor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

void insertDateTime() {
    SYSTEMTIME time;
    SYSTEMTIME date;
    // The time is read before the date, as two separate readings of the clock.
    GetLocalTime(&time);
    GetLocalTime(&date);
    char text[20];
    formatDateTime(date, time, text);
    replaceSelection(text);
}

void insertSeparator() {
    replaceSelection(SEPARATOR_LINE);
}
