#include "ui/text_search.h"

#include <emmintrin.h>

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

// One call's search over the bytes as compared (folded unless case matters). Where the processor
// has SSE2 and the search's first and last bytes each have at most two forms in the text, sixteen
// starts are tried at once for those two bytes. Otherwise, and for the last few starts, it is a
// Horspool search made for the call's direction: its key is the search's last byte going down
// and its first going up, and the text byte under the key decides how far the search moves.
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
    bool vectorised;
    // The forms of the search's first and last bytes; a byte with one form has it twice.
    char firstForms[2];
    char lastForms[2];
};

void prepareSkips(Search& search, bool down) {
    size_t last = search.whatLength - 1;
    // Counted from the end away from the key, so that going up is going down the mirrored text.
    auto fromFarEnd = [&](size_t i) { return search.compared[search.what[down ? i : last - i]]; };
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

// The text bytes that compare equal to `byte`, when there are at most two of them.
bool findForms(const Search& search, unsigned char byte, char (&forms)[2]) {
    int count = 0;
    for (int other = 0; other < 256; ++other) {
        if (search.compared[other] != search.compared[byte])
            continue;
        if (count == 2)
            return false;
        forms[count++] = static_cast<char>(other);
    }
    forms[1] = forms[count - 1];
    return true;
}

void prepare(Search& search, const SearchOptions& options, const SearchAlphabet& alphabet) {
    for (int byte = 0; byte < 256; ++byte)
        search.compared[byte] =
            options.matchCase ? static_cast<unsigned char>(byte) : alphabet.folded[byte];
    prepareSkips(search, options.down);
    search.vectorised = __builtin_cpu_supports("sse2") &&
                        findForms(search, search.what[0], search.firstForms) &&
                        findForms(search, search.what[search.whatLength - 1], search.lastForms);
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

size_t horspoolDown(const Search& search, size_t from) {
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

size_t horspoolUp(const Search& search, size_t from) {
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

constexpr size_t BLOCK = 16;
#define SSE2_FUNCTION __attribute__((target("sse2")))
#define SSE2_INLINE __attribute__((target("sse2"), always_inline)) inline

// The forms of the search's first and last bytes, each in all sixteen lanes, built once a call
// so that the loop over the text keeps them in registers.
struct Lanes {
    __m128i first[2];
    __m128i last[2];
};

SSE2_INLINE Lanes lanesOf(const Search& search) {
    return {{_mm_set1_epi8(search.firstForms[0]), _mm_set1_epi8(search.firstForms[1])},
            {_mm_set1_epi8(search.lastForms[0]), _mm_set1_epi8(search.lastForms[1])}};
}

SSE2_INLINE __m128i isForm(const unsigned char* at, const __m128i (&forms)[2]) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_or_si128(_mm_cmpeq_epi8(bytes, forms[0]), _mm_cmpeq_epi8(bytes, forms[1]));
}

// Bit i set where the search's first and last bytes both match for the start base + i.
SSE2_INLINE unsigned candidates(const Search& search, const Lanes& lanes, size_t base) {
    const unsigned char* at = search.text + base;
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(isForm(at, lanes.first), isForm(at + search.whatLength - 1, lanes.last))));
}

SSE2_FUNCTION size_t vectorDown(const Search& search, size_t from) {
    Lanes lanes = lanesOf(search);
    size_t starts = search.length - search.whatLength + 1;
    size_t base = from;
    for (; base + BLOCK <= starts; base += BLOCK)
        for (unsigned found = candidates(search, lanes, base); found; found &= found - 1) {
            size_t position = base + static_cast<size_t>(__builtin_ctz(found));
            if (matchesAt(search, position))
                return position;
        }
    return horspoolDown(search, base);
}

SSE2_FUNCTION size_t vectorUp(const Search& search, size_t from) {
    Lanes lanes = lanesOf(search);
    // The starts left to try are 0 to starts - 1.
    size_t starts = from - search.whatLength + 1;
    for (; starts >= BLOCK; starts -= BLOCK)
        for (unsigned found = candidates(search, lanes, starts - BLOCK); found;) {
            unsigned bit = 31 - static_cast<unsigned>(__builtin_clz(found));
            size_t position = starts - BLOCK + bit;
            if (matchesAt(search, position))
                return position;
            found &= ~(1u << bit);
        }
    return starts ? horspoolUp(search, starts - 1 + search.whatLength) : NO_MATCH;
}

} // namespace

size_t findInText(const char* text, size_t length, const char* what, size_t whatLength,
                  const SearchOptions& options, size_t from, const SearchAlphabet& alphabet) {
    if (whatLength == 0 || whatLength > length)
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
    if (options.down)
        return search.vectorised ? vectorDown(search, from) : horspoolDown(search, from);
    if (whatLength > from)
        return NO_MATCH;
    return search.vectorised ? vectorUp(search, from) : horspoolUp(search, from);
}
