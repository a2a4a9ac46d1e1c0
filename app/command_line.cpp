#include "app/command_line.h"

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
    std::vector<std::string> tokens;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type space = commandLine.find(' ', start);
        if (space == std::string::npos) {
            tokens.push_back(commandLine.substr(start));
            return tokens;
        }
        tokens.push_back(commandLine.substr(start, space - start));
        start = space + 1;
    }
}

CommandLineOptions readCommandLineOptions(const std::string& commandLine) {
    CommandLineOptions options;
    for (const std::string& token : splitCommandLine(commandLine)) {
        if (token == "-preferences")
            options.preferences = true;
        else if (token == "-minimize")
            options.minimize = true;
    }
    return options;
}
