// Any template gives its head, the version text and its tail, cut to the buffer and ended.
#include "dialogs/about_text.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string aboutTemplate(reinterpret_cast<const char*>(data), size);
    aboutTemplate = aboutTemplate.substr(0, aboutTemplate.find('\0'));
    char text[ABOUT_TEXT_SIZE];
    composeAboutText(aboutTemplate.c_str(), "1.0.1 ", text);
    size_t dollar = aboutTemplate.find('$');
    std::string expected = aboutTemplate.substr(0, dollar) + " 1.0.1  " +
                           (dollar == std::string::npos ? "" : aboutTemplate.substr(dollar + 1));
    if (strnlen(text, sizeof text) == sizeof text ||
        expected.compare(0, sizeof text - 1, text) != 0)
        abort();
    return 0;
}
