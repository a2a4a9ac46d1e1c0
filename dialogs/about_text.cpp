#include "dialogs/about_text.h"

#include <cstdio>
#include <cstring>

void composeAboutText(const char* aboutTemplate, const char* versionText,
                      char (&text)[ABOUT_TEXT_SIZE]) {
    size_t headLength = strcspn(aboutTemplate, "$");
    const char* tail = aboutTemplate[headLength] ? aboutTemplate + headLength + 1 : "";
    snprintf(text, sizeof text, "%.*s %s %s", static_cast<int>(headLength), aboutTemplate,
             versionText, tail);
}
