// The program's command line: "-minimize" and "-preferences".
#pragma once
#include <string>
#include <vector>

// Splits at every single space; adjacent spaces give empty tokens, quotes and tabs are kept.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

struct CommandLineOptions {
    bool minimize = false;
    bool preferences = false;
};

CommandLineOptions readCommandLineOptions(const std::string& commandLine);
