// Any install folder gives the quoted launch command, or a refusal when it would not fit.
#include "platform/launch_command.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string folder(reinterpret_cast<const char*>(data), size);
    folder = folder.substr(0, folder.find('\0'));
    char command[LAUNCH_COMMAND_SIZE];
    std::string expected = "\"" + folder + "\\jnotes.exe\" -minimize";
    bool fits = formatLaunchCommand(command, folder.c_str());
    if (fits != (expected.size() < sizeof command) || (fits && expected != command))
        abort();
    return 0;
}
