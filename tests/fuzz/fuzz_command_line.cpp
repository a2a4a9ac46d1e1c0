// Any command line splits into tokens that join back to it, and the options are recognised
// only as whole, exact tokens.
#include "app/command_line.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> tokens = splitCommandLine(line);
    std::string joined;
    bool minimize = false;
    bool preferences = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].find(' ') != std::string::npos)
            abort();
        joined += (i ? " " : "") + tokens[i];
        minimize = minimize || tokens[i] == "-minimize";
        preferences = preferences || tokens[i] == "-preferences";
    }
    if (joined != line)
        abort();
    CommandLineOptions options = readCommandLineOptions(line);
    if (options.minimize != minimize || options.preferences != preferences)
        abort();
    return 0;
}
