// The two insertions of the keyboard shortcuts: date and time (Ctrl+T) and a separator (Ctrl+L).
#pragma once
#include <windows.h>

extern const char* const SEPARATOR_LINE;

// "MM/DD/YY - hh:mm:ss": the date from one reading of the clock, the time from another.
void formatDateTime(const SYSTEMTIME& date, const SYSTEMTIME& time, char (&text)[20]);

void insertDateTime();
void insertSeparator();
