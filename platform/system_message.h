// The system's own words for an error code.
#pragma once
#include <windows.h>

#include <string>

// The description of the code without its closing line break; empty when the system has none.
std::string systemMessage(DWORD code);
