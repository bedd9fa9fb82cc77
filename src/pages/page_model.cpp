// SPDX-License-Identifier: MIT
#include "pages/page_model.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "pages/code_pages.h"
#include "pages/language_data.h"

namespace glossek {

namespace {

namespace data = language_data;

// Scores in hundredths of a natural log. A letter the language's words never hold gets the
// floor; what is no letter gets a share of its kind in running text.
constexpr int kLetterFloor = -1200;
constexpr int kPunctuation = -580;
constexpr int kSymbol = -810;
constexpr int kBoxDrawing = -690;
constexpr int kUndefined = -1400;
constexpr int kOtherKind = -600;  // digits, spaces, marks the language does not weigh
// What the bytes around a character say: inside a word after a lower-case letter, an
// upper-case letter, box drawing or a symbol is unlikely; box drawing comes in runs (frames
// and tables), and no language doubles its letters above ASCII for long.
constexpr int kUpperAfterLower = -500;
constexpr int kBoxNextToLower = -400;
constexpr int kSymbolNextToLower = -200;
constexpr int kPunctuationInWord = -500;  // but the apostrophe
constexpr int kBoxRun = 400;
constexpr int kLetterRun = -300;

struct CharacterKind {
    unsigned char kind = data::Undefined;
    char32_t folded = 0;
};

CharacterKind kind_of(char32_t ch) {
    const data::CharInfo* first = data::kCharInfo;
    const data::CharInfo* last = first + data::kCharInfoCount;
    const data::CharInfo* at = std::lower_bound(
        first, last, ch,
        [](const data::CharInfo& info, char32_t c) { return info.code_point < c; });
    if (at == last || at->code_point != ch) {
        return {};
    }
    return {at->kind, at->folded};
}

int letter_weight(const data::Language& language, char32_t letter) {
    const data::LetterWeight* first = language.letters;
    const data::LetterWeight* last = first + language.letter_count;
    const data::LetterWeight* at = std::lower_bound(
        first, last, letter,
        [](const data::LetterWeight& weight, char32_t c) { return weight.letter < c; });
    return at != last && at->letter == letter ? at->weight : kLetterFloor;
}

bool is_letter(unsigned char kind) {
    return kind == data::LowerLetter || kind == data::UpperLetter || kind == data::CaselessLetter ||
           kind == data::CombiningMark;
}

int kind_score(const data::Language& language, const CharacterKind& info) {
    if (is_letter(info.kind)) {
        const int weight = letter_weight(language, info.folded);
        return info.kind == data::CombiningMark && weight == kLetterFloor ? kOtherKind : weight;
    }
    switch (info.kind) {
        case data::Punctuation:
        case data::Apostrophe:
            return kPunctuation;
        case data::Symbol:
            return kSymbol;
        case data::BoxDrawing:
            return kBoxDrawing;
        case data::Undefined:
            return kUndefined;
        default:
            return kOtherKind;
    }
}

// One page: the kind of each byte above 0x7F and the scores of each byte for each of the
// page's languages.
struct PageTable {
    int page = 0;
    std::array<char16_t, 128> characters{};
    std::array<int, 128> after_lower{};
    std::array<int, 128> before_lower{};
    std::array<int, 128> between_lower{};
    std::array<int, 128> repeated{};
    std::vector<std::array<int, 256>> scores;
};

PageTable page_table(int page) {
    PageTable table;
    table.page = page;
    const char16_t* characters = page_characters(page);
    std::array<CharacterKind, 128> kinds{};
    for (int k = 0; k < 128; ++k) {
        table.characters[k] = characters[0x80 + k];
        kinds[k] = kind_of(characters[0x80 + k]);
        const unsigned char kind = kinds[k].kind;
        table.after_lower[k] = kind == data::UpperLetter  ? kUpperAfterLower
                               : kind == data::BoxDrawing ? kBoxNextToLower
                               : kind == data::Symbol     ? kSymbolNextToLower
                                                          : 0;
        table.before_lower[k] = kind == data::BoxDrawing ? kBoxNextToLower
                                : kind == data::Symbol   ? kSymbolNextToLower
                                                         : 0;
        table.between_lower[k] =
            kind == data::Punctuation || kind == data::Symbol ? kPunctuationInWord : 0;
        table.repeated[k] = kind == data::BoxDrawing ? kBoxRun : is_letter(kind) ? kLetterRun : 0;
    }
    for (unsigned n = 0; n < data::kLanguageCount; ++n) {
        const data::Language& language = data::kLanguages[n];
        if (std::find(language.pages, language.pages + language.page_count, page) ==
            language.pages + language.page_count) {
            continue;
        }
        std::array<int, 256> scores{};
        for (int c = 'a'; c <= 'z'; ++c) {
            scores[static_cast<std::size_t>(c)] = letter_weight(language, static_cast<char32_t>(c));
            scores[static_cast<std::size_t>(c - 'a' + 'A')] = scores[static_cast<std::size_t>(c)];
        }
        for (int k = 0; k < 128; ++k) {
            scores[static_cast<std::size_t>(0x80 + k)] = kind_score(language, kinds[k]);
        }
        table.scores.push_back(scores);
    }
    return table;
}

const std::vector<PageTable>& page_tables() {
    static const std::vector<PageTable> tables = [] {
        std::vector<PageTable> all;
        for (const std::vector<int>* pages : {&supported_oem_pages(), &supported_ansi_pages()}) {
            for (int page : *pages) {
                if (page_characters(page) != nullptr) {
                    all.push_back(page_table(page));
                }
            }
        }
        return all;
    }();
    return tables;
}

const PageTable* table_of(int page) {
    for (const PageTable& table : page_tables()) {
        if (table.page == page) {
            return &table;
        }
    }
    return nullptr;
}

}  // namespace

long long page_score(int page, const ByteCounts& counts) {
    const PageTable* table = table_of(page);
    if (table == nullptr) {
        return 0;
    }
    long long context = 0;
    for (std::size_t k = 0; k < 128; ++k) {
        context += static_cast<long long>(counts.high_after_lower[k]) * table->after_lower[k] +
                   static_cast<long long>(counts.high_before_lower[k]) * table->before_lower[k] +
                   static_cast<long long>(counts.high_between_lower[k]) * table->between_lower[k] +
                   static_cast<long long>(counts.high_repeated[k]) * table->repeated[k];
    }
    long long best = 0;
    bool first = true;
    for (const std::array<int, 256>& scores : table->scores) {
        long long total = context;
        for (std::size_t b = 0; b < 256; ++b) {
            total += static_cast<long long>(counts.bytes[b]) * scores[b];
        }
        if (first || total > best) {
            best = total;
            first = false;
        }
    }
    return best;
}

bool same_reading(int first, int second, const ByteCounts& counts) {
    const char16_t* a = page_characters(first);
    const char16_t* b = page_characters(second);
    if (a == nullptr || b == nullptr) {
        return first == second;
    }
    for (std::size_t k = 0x80; k < 256; ++k) {
        if (counts.bytes[k] != 0 && a[k] != b[k]) {
            return false;
        }
    }
    return true;
}

int partner_page(int page) {
    static constexpr std::pair<int, int> kPartners[] = {
        {437, 1252}, {737, 1253}, {775, 1257}, {850, 1252}, {852, 1250}, {855, 1251}, {857, 1254},
        {858, 1252}, {860, 1252}, {861, 1252}, {862, 1255}, {863, 1252}, {864, 1256}, {865, 1252},
        {866, 1251}, {869, 1253}, {874, 437},  {1250, 852}, {1251, 866}, {1252, 850}, {1253, 737},
        {1254, 857}, {1255, 862}, {1256, 864}, {1257, 775}, {1258, 437},
    };
    for (const auto& [from, to] : kPartners) {
        if (from == page) {
            return to;
        }
    }
    return 0;
}

}  // namespace glossek
