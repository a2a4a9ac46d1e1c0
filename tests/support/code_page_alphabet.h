// An alphabet like that of Windows-1252, for the tests and the fuzzing of the text search: the
// accented capitals 0xC0-0xDE fold to 0xE0-0xFE, and they and 0xDF-0xFF are letters, except the
// multiplication sign 0xD7 and the division sign 0xF7.
#pragma once
#include "ui/text_search.h"

inline SearchAlphabet codePageAlphabet() {
    SearchAlphabet alphabet = asciiAlphabet();
    for (int byte = 0xC0; byte <= 0xFF; ++byte) {
        bool letter = byte != 0xD7 && byte != 0xF7;
        alphabet.wordByte[byte] = letter;
        if (letter && byte <= 0xDE)
            alphabet.folded[byte] = static_cast<unsigned char>(byte + 0x20);
    }
    return alphabet;
}
