#include "ui/text_search.h"

SearchAlphabet asciiAlphabet() {
    SearchAlphabet alphabet;
    for (int byte = 0; byte < 256; ++byte) {
        bool upper = byte >= 'A' && byte <= 'Z';
        bool lower = byte >= 'a' && byte <= 'z';
        alphabet.folded[byte] = static_cast<unsigned char>(upper ? byte - 'A' + 'a' : byte);
        alphabet.wordByte[byte] = upper || lower || (byte >= '0' && byte <= '9');
    }
    return alphabet;
}

namespace {

// One call's search, made for its direction: a Horspool search over the bytes as compared
// (folded unless case matters). Its key is the search's last byte going down and its first going
// up; the text byte under the key decides how far the search moves, so most of the text is never
// looked at.
struct Search {
    const unsigned char* text;
    size_t length;
    const unsigned char* what;
    size_t whatLength;
    bool wholeWord;
    const bool* wordByte;
    unsigned char compared[256];
    // The move for each text byte under the key; 0 where it compares equal to the key, which
    // calls for a look at the whole search before moving by keyShift.
    size_t skip[256];
    size_t keyShift;
};

void prepare(Search& search, const SearchOptions& options, const SearchAlphabet& alphabet) {
    for (int byte = 0; byte < 256; ++byte)
        search.compared[byte] =
            options.matchCase ? static_cast<unsigned char>(byte) : alphabet.folded[byte];
    size_t last = search.whatLength - 1;
    // Counted from the end away from the key, so that going up is going down the mirrored text.
    auto fromFarEnd = [&](size_t i) {
        return search.compared[search.what[options.down ? i : last - i]];
    };
    size_t byCompared[256];
    for (size_t& shift : byCompared)
        shift = search.whatLength;
    for (size_t i = 0; i < last; ++i)
        byCompared[fromFarEnd(i)] = last - i;
    unsigned char key = fromFarEnd(last);
    search.keyShift = byCompared[key];
    for (int byte = 0; byte < 256; ++byte)
        search.skip[byte] = search.compared[byte] == key ? 0 : byCompared[search.compared[byte]];
}

bool matchesAt(const Search& search, size_t position) {
    const unsigned char* at = search.text + position;
    for (size_t i = 0; i < search.whatLength; ++i)
        if (search.compared[at[i]] != search.compared[search.what[i]])
            return false;
    size_t end = position + search.whatLength;
    return !search.wholeWord || ((position == 0 || !search.wordByte[at[-1]]) &&
                                 (end == search.length || !search.wordByte[search.text[end]]));
}

size_t findDown(const Search& search, size_t from) {
    if (search.whatLength > search.length)
        return NO_MATCH;
    size_t last = search.whatLength - 1;
    size_t lastStart = search.length - search.whatLength;
    for (size_t position = from; position <= lastStart;) {
        size_t shift = search.skip[search.text[position + last]];
        if (!shift) {
            if (matchesAt(search, position))
                return position;
            shift = search.keyShift;
        }
        position += shift;
    }
    return NO_MATCH;
}

size_t findUp(const Search& search, size_t from) {
    if (search.whatLength > from)
        return NO_MATCH;
    for (size_t position = from - search.whatLength;;) {
        size_t shift = search.skip[search.text[position]];
        if (!shift) {
            if (matchesAt(search, position))
                return position;
            shift = search.keyShift;
        }
        if (shift > position)
            return NO_MATCH;
        position -= shift;
    }
}

} // namespace

size_t findInText(const char* text, size_t length, const char* what, size_t whatLength,
                  const SearchOptions& options, size_t from, const SearchAlphabet& alphabet) {
    if (whatLength == 0)
        return NO_MATCH;
    Search search;
    search.text = reinterpret_cast<const unsigned char*>(text);
    search.length = length;
    search.what = reinterpret_cast<const unsigned char*>(what);
    search.whatLength = whatLength;
    search.wholeWord = options.wholeWord;
    search.wordByte = alphabet.wordByte;
    prepare(search, options, alphabet);
    from = from < length ? from : length;
    return options.down ? findDown(search, from) : findUp(search, from);
}
