// SPDX-License-Identifier: MIT
// Generated data (language_data.cpp, written by tools/gen_language_data.py): how often each
// letter occurs in the languages the carried code pages serve, and the kind of every
// character of those pages' upper halves.
#pragma once

namespace glossek::language_data {

// A letter, lower case, and 100 x the natural log of its share of the language's letters.
struct LetterWeight {
    char32_t letter;
    short weight;
};

struct Language {
    const char* code;  // "fr", "ru", ...
    const LetterWeight* letters;
    unsigned letter_count;
    const int* pages;  // the DOS and Windows pages written in this language
    unsigned page_count;
};

enum CharKind : unsigned char {
    Symbol,
    LowerLetter,
    UpperLetter,
    BoxDrawing,
    Undefined,  // no character, or a control
    CombiningMark,
    Digit,
    Punctuation,  // quotes, dashes, currency and the like, common in running text
    Space,
    CaselessLetter,
    Apostrophe,  // punctuation that stands inside words
};

// A character of some page's upper half, its folded form (lower case, and an Arabic
// presentation form as its letter) and its kind. Sorted by code point.
struct CharInfo {
    char32_t code_point;
    char32_t folded;
    unsigned char kind;
};

extern const Language kLanguages[];
extern const unsigned kLanguageCount;
extern const CharInfo kCharInfo[];
extern const unsigned kCharInfoCount;

}  // namespace glossek::language_data
