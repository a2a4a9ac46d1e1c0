// Any text, search, options and start give the same match as trying every position in turn.
// The input: a byte of flags, two bytes of start, a byte of search length, the search, the text.
#include "tests/support/code_page_alphabet.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum Flags {
    MATCH_CASE = 1,
    WHOLE_WORD = 2,
    DOWN = 4,
    CODE_PAGE = 8,
    FEW_BYTES = 16,
    FOUR_TO_ONE = 32
};

bool matchesAt(const std::string& text, const std::string& what, size_t position,
               const SearchOptions& options, const SearchAlphabet& alphabet) {
    auto byte = [](char c) { return static_cast<unsigned char>(c); };
    for (size_t i = 0; i < what.size(); ++i) {
        unsigned char a = byte(text[position + i]);
        unsigned char b = byte(what[i]);
        if (options.matchCase ? a != b : alphabet.folded[a] != alphabet.folded[b])
            return false;
    }
    size_t end = position + what.size();
    return !options.wholeWord || ((position == 0 || !alphabet.wordByte[byte(text[position - 1])]) &&
                                  (end == text.size() || !alphabet.wordByte[byte(text[end])]));
}

size_t naiveFind(const std::string& text, const std::string& what, const SearchOptions& options,
                 size_t from, const SearchAlphabet& alphabet) {
    from = std::min(from, text.size());
    if (what.empty() || what.size() > text.size())
        return NO_MATCH;
    size_t lastStart = text.size() - what.size();
    if (options.down) {
        for (size_t position = from; position <= lastStart; ++position)
            if (matchesAt(text, what, position, options, alphabet))
                return position;
        return NO_MATCH;
    }
    for (size_t end = from; end >= what.size(); --end)
        if (matchesAt(text, what, end - what.size(), options, alphabet))
            return end - what.size();
    return NO_MATCH;
}

// Few distinct bytes make matches, near matches and word edges common: both cases of two
// letters in ASCII and in the code page, a space and NUL.
std::string fewBytes(std::string bytes) {
    static const char few[] = {'a', 'A', 'b', 'B', ' ', '\0', '\xC1', '\xE1'};
    for (char& c : bytes)
        c = few[static_cast<unsigned char>(c) % sizeof few];
    return bytes;
}

// Bytes that fold four to one are more forms than the vector search takes, so that the byte-wise
// search runs on whole texts too.
SearchAlphabet fourToOneAlphabet() {
    SearchAlphabet alphabet = asciiAlphabet();
    for (int byte = 0; byte < 256; ++byte)
        alphabet.folded[byte] = static_cast<unsigned char>(byte & 0xDE);
    return alphabet;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    unsigned flags = data[0];
    size_t start = data[1] | data[2] << 8;
    size_t whatLength = std::min<size_t>(data[3], size - 4);
    std::string what(reinterpret_cast<const char*>(data) + 4, whatLength);
    std::string text(reinterpret_cast<const char*>(data) + 4 + whatLength, size - 4 - whatLength);
    if (flags & FEW_BYTES) {
        what = fewBytes(what);
        text = fewBytes(text);
    }
    // Starts from 0 to one past the end, which stands for the end.
    start %= text.size() + 2;
    SearchOptions options = {(flags & MATCH_CASE) != 0, (flags & WHOLE_WORD) != 0,
                             (flags & DOWN) != 0};
    SearchAlphabet alphabet = flags & FOUR_TO_ONE ? fourToOneAlphabet()
                              : flags & CODE_PAGE ? codePageAlphabet()
                                                  : asciiAlphabet();
    // Buffers of exactly their size, so that a read past either end is caught.
    std::vector<char> textBytes(text.begin(), text.end());
    std::vector<char> whatBytes(what.begin(), what.end());
    size_t found = findInText(textBytes.data(), textBytes.size(), whatBytes.data(),
                              whatBytes.size(), options, start, alphabet);
    if (found != naiveFind(text, what, options, start, alphabet))
        abort();
    return 0;
}
