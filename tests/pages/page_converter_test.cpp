// SPDX-License-Identifier: MIT
#include "pages/page_converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/iconv.h"

namespace glossek {
namespace {

using test::Iconv;

struct Result {
    std::string bytes;
    std::uint64_t lossy = 0;
    bool operator==(const Result&) const = default;
};

void PrintTo(const Result& result, std::ostream* os) {
    *os << testing::PrintToString(result.bytes) << " lossy " << result.lossy;
}

// A line through the converter, given in parts that end at `cuts`, then its end; and the
// characters it lost.
Result convert_line(PageConverter& converter, std::string_view line,
                    const std::vector<std::size_t>& cuts = {}) {
    const std::uint64_t before = converter.lossy();
    std::string out;
    std::size_t at = 0;
    auto part = [&](std::size_t end) {
        std::string room(converter.max_output(end - at) + 1, '\0');
        room.resize(converter.convert(line.data() + at, end - at, room.data()));
        out += room;
        at = end;
    };
    for (std::size_t cut : cuts) {
        part(cut);
    }
    part(line.size());
    char last = 0;
    out.append(&last, converter.end_line(&last));
    return {out, converter.lossy() - before};
}

std::string utf8(char32_t code_point) {
    std::string bytes;
    append_utf8(bytes, code_point);
    return bytes;
}

bool is_control(char32_t ch) {
    return ch < 0x20 || ch == 0x7F;
}

TEST(DosToUtf8, EveryByteOfEveryPageAsIconvWritesIt) {
    for (int oem : supported_oem_pages()) {
        PageConverter converter(code_page_pair(oem, kUtf8Page), true);
        Iconv iconv(oem, kUtf8Page);
        std::string all;
        std::string expected_all;
        std::uint64_t expected_lossy = 0;
        for (int b = 0; b < 256; ++b) {
            SCOPED_TRACE(std::to_string(oem) + " byte " + std::to_string(b));
            const std::string byte(1, static_cast<char>(b));
            const Result got = convert_line(converter, byte);
            if (is_control(static_cast<char32_t>(b))) {
                // The same control characters in every page, as in the one-byte tables: a
                // file's line ends and tabs stay. (glibc's DOS pages agree.)
                EXPECT_EQ(got, (Result{byte, 0}));
            } else if (const auto expected = iconv.convert(byte[0])) {
                EXPECT_EQ(got, (Result{*expected, 0}));
            } else {
                EXPECT_EQ(got, (Result{"?", 1})) << "a byte the page leaves undefined";
            }
            all += byte;
            expected_all += got.bytes;
            expected_lossy += got.lossy;
        }
        // The same bytes at once, through the rounds of ASCII and of other bytes.
        EXPECT_EQ(convert_line(converter, all + all),
                  (Result{expected_all + expected_all, 2 * expected_lossy}));
    }
}

// Every character of the Basic Multilingual Plane to every DOS page: where glibc has one
// byte for it, the same byte and no loss; elsewhere a printable stand-in, counted as lost.
// (cp864 has the Arabic percent sign at 0x25: ASCII's '%' lands there, counted.)
TEST(Utf8ToDos, EveryCharacterOfThePlaneAsIconvHasIt) {
    for (int oem : supported_oem_pages()) {
        PageConverter converter(code_page_pair(oem, kUtf8Page), false);
        Iconv encode(kUtf8Page, oem);
        for (char32_t ch = 0; ch < 0x10000; ++ch) {
            if (ch >= 0xD800 && ch < 0xE000) {
                continue;
            }
            const std::string text = utf8(ch);
            const Result got = convert_line(converter, text);
            ASSERT_EQ(got.bytes.size(), 1u)
                << oem << " U+" << std::hex << static_cast<unsigned>(ch);
            const auto byte = static_cast<unsigned char>(got.bytes[0]);
            if (is_control(ch)) {
                ASSERT_EQ(got, (Result{text, 0}))
                    << oem << " U+" << std::hex << static_cast<unsigned>(ch);
                continue;
            }
            const auto expected = encode.convert(text);
            if (expected && expected->size() == 1) {
                ASSERT_EQ(got, (Result{*expected, 0}))
                    << oem << " U+" << std::hex << static_cast<unsigned>(ch);
                continue;
            }
            ASSERT_FALSE(is_control(byte)) << oem << " U+" << std::hex << static_cast<unsigned>(ch);
            ASSERT_EQ(got.lossy, 1u) << oem << " U+" << std::hex << static_cast<unsigned>(ch);
        }
    }
}

TEST(Utf8ToDos, BestFitsBeyondThePlaneAndForWhatTheTablesDoNotHold) {
    PageConverter converter(code_page_pair(850, kUtf8Page), false);
    EXPECT_EQ(convert_line(converter, utf8(0x1D400)), (Result{"A", 1}));  // bold capital A
    EXPECT_EQ(convert_line(converter, utf8(0x1F600)), (Result{"?", 1}));  // an emoji
    EXPECT_EQ(convert_line(converter, utf8(0x10FFFF)), (Result{"?", 1}));
    EXPECT_EQ(convert_line(converter, utf8(0x0107)), (Result{"c", 1}));  // c with acute
    EXPECT_EQ(convert_line(converter, utf8(0x2014)), (Result{"-", 1}));  // em dash
    EXPECT_EQ(convert_line(converter, utf8(0x0085)), (Result{"?", 1}));  // a C1 control
    EXPECT_EQ(convert_line(converter, utf8(0xFEFF)), (Result{"?", 1}));  // a mark inside
    EXPECT_EQ(convert_line(converter, "caf\xC3\xA9"), (Result{"caf\x82", 0}));
    // Box-drawing lines where the page has none.
    PageConverter greek(code_page_pair(737, kUtf8Page), false);
    EXPECT_EQ(convert_line(greek, utf8(0x2500)), (Result{"\xC4", 0}));
    // Heavy horizontal: 850 has only the light and the double lines.
    EXPECT_EQ(convert_line(converter, utf8(0x2501)), (Result{"-", 1}));
}

// Each maximal subpart of an ill-formed sequence is one '?' and one lost character,
// whether the sequence comes whole or in parts that end anywhere.
TEST(Utf8ToDos, IllFormedSequencesGiveOneQuestionMarkPerMaximalSubpart) {
    PageConverter converter(code_page_pair(850, kUtf8Page), false);
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"\xC3", "?"},          // truncated at the line's end
        {"\xE2\x82", "?"},      // the start of the euro sign
        {"\xF0\x9F\x98", "?"},  // the start of an emoji
        {"\xC3"
         "A",
         "?A"},                         // cut short by ASCII
        {"\xE2\x82\xC3\xA9", "?\x82"},  // by another sequence
        {"\xC0\xAF", "??"},             // overlong '/': C0 starts nothing
        {"\xC1\xBF", "??"},
        {"\xE0\x80\xAF", "???"},  // overlong in three bytes
        {"\xE0\x9F\xBF", "???"},
        {"\xF0\x80\x80\xAF", "????"},  // in four
        {"\xF0\x8F\xBF\xBF", "????"},
        {"\xED\xA0\x80", "???"},  // a surrogate
        {"\xED\xBF\xBF", "???"},
        {"\xF4\x90\x80\x80", "????"},  // past U+10FFFF
        {"\xF5\x80\x80\x80", "????"},
        {"\xF8\x88\x80\x80\x80", "?????"},  // the five-byte form of old
        {"\x80", "?"},                      // stray continuation bytes
        {"\xBF\x80\xBF", "???"},
        {"\xFE\xFF", "??"},
        // The example of the Unicode standard (Table 3-8).
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", "a???b?c??d"},
    };
    for (const Case& c : cases) {
        std::size_t lost = 0;
        for (char ch : c.out) {
            lost += ch == '?' ? 1 : 0;
        }
        const Result expected{c.out, lost};
        EXPECT_EQ(convert_line(converter, c.in), expected) << testing::PrintToString(c.in);
        for (std::size_t cut = 0; cut <= c.in.size(); ++cut) {
            for (std::size_t second = cut; second <= c.in.size(); ++second) {
                EXPECT_EQ(convert_line(converter, c.in, {cut, second}), expected)
                    << testing::PrintToString(c.in) << " cut at " << cut << " and " << second;
            }
        }
    }
}

TEST(Utf8ToDos, RandomTextInPartsGivesWhatItGivesWhole) {
    PageConverter converter(code_page_pair(866, kUtf8Page), false);
    std::mt19937 random(866);  // fixed so that a failure can be replayed
    const std::vector<std::string> pieces = {"a",    "\xD0\x96", "\xE2\x94\x80", "\xF0\x9F\x98\x80",
                                             "\xC3", "\x80",     "\xED\xA0\x80", "\xE2\x82"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (unsigned n = random() % 200; n > 0; --n) {
            text += random() % 4 == 0 ? std::string(1, static_cast<char>(random()))
                                      : pieces[random() % pieces.size()];
        }
        std::vector<std::size_t> cuts;
        std::size_t at = 0;
        while (at < text.size()) {
            at = std::min(text.size(), at + random() % 7);
            cuts.push_back(at);
        }
        EXPECT_EQ(convert_line(converter, text, cuts), convert_line(converter, text));
    }
}

// The naive table: each byte through the map, counted when its lossy bit is set.
std::size_t naive(const unsigned char* in, std::size_t size, unsigned char* out,
                  const unsigned char* map, const unsigned char* lossy) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = map[in[i]];
        count += lossy != nullptr && ((lossy[in[i] >> 3] >> (in[i] & 7)) & 1) != 0 ? 1 : 0;
    }
    return count;
}

const char* kernel_name(Kernel kernel) {
    return kernel == Kernel::Avx512 ? "Avx512" : kernel == Kernel::Avx2 ? "Avx2" : "Plain";
}

// Each kernel, where the processor has it, against a byte-by-byte lookup.
class TableTranslation : public ::testing::TestWithParam<Kernel> {};

TEST_P(TableTranslation, AgreesWithTheTableOnEveryByteAndOddLengths) {
    if (!has_kernel(GetParam())) {
        GTEST_SKIP() << "this processor lacks " << kernel_name(GetParam());
    }
    std::mt19937 random(1252);  // fixed so that a failure can be replayed
    // A table that changes ASCII too, with lossy bits anywhere.
    unsigned char reversed[256];
    unsigned char scattered[32];
    for (int c = 0; c < 256; ++c) {
        reversed[c] = static_cast<unsigned char>(255 - c);
    }
    for (unsigned char& bits : scattered) {
        bits = static_cast<unsigned char>(random());
    }
    unsigned char all_lossy[32];  // every byte counted: a count past the end shows
    std::fill(std::begin(all_lossy), std::end(all_lossy), 0xFF);
    const CodePagePair west = code_page_pair(850, 1252);
    const CodePagePair cyrillic = code_page_pair(866, 1251);
    struct Table {
        const unsigned char* map;
        const unsigned char* lossy;
    };
    const std::vector<Table> tables = {{west.oem_to_ansi, west.oem_to_ansi_lossy},
                                       {west.ansi_to_oem, west.ansi_to_oem_lossy},
                                       {cyrillic.ansi_to_oem, cyrillic.ansi_to_oem_lossy},
                                       {reversed, scattered},
                                       {reversed, all_lossy},
                                       {reversed, nullptr}};
    std::vector<std::vector<unsigned char>> inputs;
    inputs.emplace_back();
    for (int c = 0; c < 256; ++c) {
        inputs.back().push_back(static_cast<unsigned char>(c));
    }
    for (int round = 0; round < 200; ++round) {
        std::vector<unsigned char> bytes(1 + 2 * (random() % 600));  // odd lengths
        const bool mostly_ascii = round % 3 == 0;  // the vector way copies ASCII rounds
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(mostly_ascii && random() % 50 != 0 ? random() % 128
                                                                              : random());
        }
        inputs.push_back(bytes);
    }
    const Kernel kernel = GetParam();
    for (const Table& table : tables) {
        ByteTable byte_table(table.map, table.lossy);
        ByteTable byte_table_pairs(table.map, table.lossy);
        byte_table_pairs.add_pairs();  // the plain kernel's two bytes a lookup
        for (const auto& in : inputs) {
            for (std::size_t offset : {0, 1, 3}) {  // unaligned starts
                if (offset > in.size()) {
                    continue;
                }
                const std::size_t size = in.size() - offset;
                std::vector<unsigned char> expected(size + 1);
                const std::size_t expected_lossy =
                    naive(in.data() + offset, size, expected.data(), table.map, table.lossy);
                for (const ByteTable* byte_tables : {&byte_table, &byte_table_pairs}) {
                    std::vector<unsigned char> out(size + 1);
                    EXPECT_EQ(translate(kernel, in.data() + offset, size, out.data(), *byte_tables),
                              expected_lossy);
                    EXPECT_EQ(out, expected);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, TableTranslation,
                         ::testing::Values(Kernel::Plain, Kernel::Avx2, Kernel::Avx512),
                         [](const auto& kernel) { return std::string(kernel_name(kernel.param)); });

// Text for the UTF-8 kernels: runs of ASCII of every length around a vector's, the page's own
// characters in two and three bytes, characters it lacks, and ill-formed pieces of every
// kind, so that sequences fall across the vectors' ends and the ends of parts.
std::string random_utf8(std::mt19937& random, const CodePagePair& pages) {
    static const std::vector<std::string> odd = {
        "\xC3",         "\xE2\x82",         "\xF0\x9F\x98", "\xC0\xAF",
        "\xC1\xBF",     "\xE0\x80\xAF",     "\xED\xA0\x80", "\xF4\x90\x80\x80",
        "\x80",         "\xBF\xBF",         "\xFE",         "\xFF",
        "\xEF\xBB\xBF", "\xF0\x9F\x98\x80", "\xC4\x87",     "\xE2\x94\x81",
        "\xDF\xBF",     "\xC2\x80",         "\x00",         "\r\n"};
    std::string text;
    const bool dense = random() % 2 == 0;  // a character of the page every few bytes or rarely
    for (unsigned n = random() % 40; n > 0; --n) {
        text += std::string(dense ? random() % 4 : random() % 70, 'a' + static_cast<char>(n % 26));
        if (random() % 4 != 0) {
            append_utf8(text, pages.oem_chars[0x80 + random() % 128]);
        } else if (random() % 2 == 0) {  // two bytes, mostly a character the page lacks
            append_utf8(text, 0x80 + random() % 0x780);
        } else {
            text += odd[random() % odd.size()];
        }
    }
    return text;
}

// Each UTF-8 kernel, where the processor has it, writes and counts as the plain way does.
class Utf8Kernels : public ::testing::TestWithParam<Kernel> {};

TEST_P(Utf8Kernels, DosToUtf8AsThePlainWayOnEveryPage) {
    if (!has_kernel(GetParam())) {
        GTEST_SKIP() << "this processor lacks " << kernel_name(GetParam());
    }
    std::mt19937 random(437);  // fixed so that a failure can be replayed
    for (int oem : supported_oem_pages()) {
        SCOPED_TRACE(oem);
        const CodePagePair pages = code_page_pair(oem, kUtf8Page);
        PageConverter plain(pages, true, Kernel::Plain);
        PageConverter vector(pages, true, GetParam());
        std::string all;
        for (int b = 0; b < 256; ++b) {
            all += static_cast<char>(b);
        }
        ASSERT_EQ(convert_line(vector, all + all + all), convert_line(plain, all + all + all));
        for (int round = 0; round < 60; ++round) {
            std::string text(random() % 300, '\0');
            const unsigned high_share = random() % 3;  // none, a few, half
            for (char& c : text) {
                c = static_cast<char>(
                    random() % 128 |
                    (high_share > 0 && random() % (12 / high_share) == 0 ? 0x80 : 0));
            }
            ASSERT_EQ(convert_line(vector, text), convert_line(plain, text))
                << testing::PrintToString(text);
        }
    }
}

TEST_P(Utf8Kernels, Utf8ToDosAsThePlainWayWholeAndInParts) {
    if (!has_kernel(GetParam())) {
        GTEST_SKIP() << "this processor lacks " << kernel_name(GetParam());
    }
    std::mt19937 random(850);  // fixed so that a failure can be replayed
    for (int oem : supported_oem_pages()) {
        SCOPED_TRACE(oem);
        const CodePagePair pages = code_page_pair(oem, kUtf8Page);
        PageConverter plain(pages, false, Kernel::Plain);
        PageConverter vector(pages, false, GetParam());
        for (int round = 0; round < 60; ++round) {
            const std::string text = random_utf8(random, pages);
            const Result expected = convert_line(plain, text);
            ASSERT_EQ(convert_line(vector, text), expected) << testing::PrintToString(text);
            std::vector<std::size_t> cuts;
            for (std::size_t at = random() % 80; at < text.size(); at += random() % 80) {
                cuts.push_back(at);
            }
            ASSERT_EQ(convert_line(vector, text, cuts), expected) << testing::PrintToString(text);
        }
    }
}

// A sequence whose lead ends a vector, or the text, wherever the vectors fall.
TEST_P(Utf8Kernels, Utf8ToDosSequencesAtEveryPlaceOfAVector) {
    if (!has_kernel(GetParam())) {
        GTEST_SKIP() << "this processor lacks " << kernel_name(GetParam());
    }
    const CodePagePair pages = code_page_pair(850, kUtf8Page);
    PageConverter plain(pages, false, Kernel::Plain);
    PageConverter vector(pages, false, GetParam());
    for (const std::string& piece :
         std::vector<std::string>{"\xC3\xA9", "\xC4\x87", "\xC3", "\xE2\x94\x80", "\x80"}) {
        for (std::size_t before = 0; before < 140; ++before) {
            for (const std::string& after :
                 {std::string(), std::string("x"), std::string(70, 'y')}) {
                const std::string text = std::string(before, 'a') + piece + after;
                ASSERT_EQ(convert_line(vector, text), convert_line(plain, text))
                    << testing::PrintToString(text);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, Utf8Kernels, ::testing::Values(Kernel::Avx2, Kernel::Avx512),
                         [](const auto& kernel) { return std::string(kernel_name(kernel.param)); });

TEST(Utf8, LastCharacterSizeForBackspace) {
    EXPECT_EQ(last_utf8_size(""), 0u);
    EXPECT_EQ(last_utf8_size("ab"), 1u);
    EXPECT_EQ(last_utf8_size("a\xC3\xA9"), 2u);
    EXPECT_EQ(last_utf8_size("\xE2\x94\x80"), 3u);
    EXPECT_EQ(last_utf8_size("x\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(last_utf8_size("a\xC3"), 1u);             // a sequence cut short
    EXPECT_EQ(last_utf8_size("a\xA9"), 1u);             // a stray continuation byte
    EXPECT_EQ(last_utf8_size("\x80\x80\x80\x80"), 1u);  // no lead within reach
    EXPECT_EQ(last_utf8_size("\xED\xA0\x80"), 1u);      // a surrogate is no character
}

TEST(PageConverter, FirstLossyIsWhereTheFirstCountedCharacterStarts) {
    const PageConverter dos_west(code_page_pair(850, 1252), true);
    EXPECT_EQ(dos_west.first_lossy("ab\xC4\xC4", 4), 2u);  // box-drawing lines
    EXPECT_EQ(dos_west.first_lossy("ab\x82", 3), 3u);      // none
    const PageConverter from_utf8(code_page_pair(850, kUtf8Page), false);
    EXPECT_EQ(from_utf8.first_lossy("\xC3\xA9\xE2\x94\x81x", 6), 2u);
    EXPECT_EQ(from_utf8.first_lossy("\xC3\xA9\xC3", 3), 2u);  // left open at the end
    const PageConverter to_utf8(code_page_pair(857, kUtf8Page), true);
    EXPECT_EQ(to_utf8.first_lossy("ab\xD5", 3), 2u);  // undefined in cp857
}

TEST(PageConverter, CountsAcrossCallsAndKeepsLineEndsWhereItCan) {
    PageConverter converter(code_page_pair(850, 1252), true);
    char out[16];
    converter.convert("\xC4\xC4", 2, out);
    converter.convert("\xB3", 1, out);
    EXPECT_EQ(converter.lossy(), 3u);
    EXPECT_TRUE(converter.keeps_line_ends());
    EXPECT_FALSE(converter.reads_utf8());
    EXPECT_TRUE(PageConverter(code_page_pair(850, kUtf8Page), false).reads_utf8());
    unsigned char moved[256];
    for (int c = 0; c < 256; ++c) {
        moved[c] = static_cast<unsigned char>(c == '\n' ? ' ' : c);
    }
    EXPECT_FALSE(PageConverter(moved).keeps_line_ends());
}

}  // namespace
}  // namespace glossek
