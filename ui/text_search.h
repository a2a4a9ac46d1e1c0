// Finding a search in a page's 8-bit text: the match, if any, in either direction from a start.
// Window-free, so that it runs on pages read from disk as well as on the editor's text.
#pragma once
#include <cstddef>

// How the system's 8-bit code page treats each byte: the byte's case-folded form, and whether it
// is a letter or digit (a whole word is bounded by bytes that are neither).
struct SearchAlphabet {
    unsigned char folded[256];
    bool wordByte[256];
};

// The alphabet of plain ASCII (A-Z fold to a-z; letters and digits are word bytes).
SearchAlphabet asciiAlphabet();

struct SearchOptions {
    bool matchCase;
    bool wholeWord;
    bool down; // false: up, towards the start of the text
};

constexpr size_t NO_MATCH = static_cast<size_t>(-1);

// The first match at or after `from` going down, or the last match that ends at or before `from`
// going up; NO_MATCH when there is none (and always for an empty search). A `from` past the end
// is the end. The text may hold any byte, NUL included; it is neither copied nor changed.
size_t findInText(const char* text, size_t length, const char* what, size_t whatLength,
                  const SearchOptions& options, size_t from, const SearchAlphabet& alphabet);
