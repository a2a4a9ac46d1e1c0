// The About text: the template of string resource 2 with the version in place of its "$".
#pragma once
#include <cstddef>

// "65535.65535.65535 " and its terminator fit with room to spare.
constexpr size_t VERSION_TEXT_SIZE = 28;
constexpr size_t ABOUT_TEXT_SIZE = 256;

// Puts the version text in place of the template's first "$", with one space on either side;
// a template without "$" is followed by the version text.
void composeAboutText(const char* aboutTemplate, const char* versionText,
                      char (&text)[ABOUT_TEXT_SIZE]);
