// SPDX-License-Identifier: MIT
#include "table/table.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace glossek {
namespace {

std::string hexa(std::string_view text) {
    return codes_to_chars(text, "$", 2);
}
std::string deci(std::string_view text) {
    return codes_to_chars(text, "", 3);
}

std::string error_of(const std::function<std::string()>& action) {
    try {
        action();
    } catch (const CodeTextError& error) {
        return error.what();
    }
    return "no error";
}

TEST(CodesToChars, Hexadecimal) {
    EXPECT_EQ(hexa(""), "");
    EXPECT_EQ(hexa("41 42"), "AB");
    EXPECT_EQ(hexa("4142"), "AB");
    EXPECT_EQ(hexa("41   42"), "AB");
    EXPECT_EQ(hexa("41 4"), "A\x04");
    EXPECT_EQ(hexa("e9 Ff"), "\xE9\xFF");
    EXPECT_EQ(hexa("00"), std::string(1, '\0'));
    EXPECT_EQ(error_of([] { return hexa("4 1"); }), "'$4 ' is not a valid integer value");
    EXPECT_EQ(error_of([] { return hexa(" 41"); }), "'$ 4' is not a valid integer value");
    EXPECT_EQ(error_of([] { return hexa("4G"); }), "'$4G' is not a valid integer value");
    EXPECT_EQ(error_of([] { return hexa("-1"); }), "'$-1' is not a valid integer value");
}

TEST(CodesToChars, Decimal) {
    EXPECT_EQ(deci(""), "");
    EXPECT_EQ(deci("065 066"), "AB");
    EXPECT_EQ(deci("065066"), "AB");
    EXPECT_EQ(deci("65"), "A");
    EXPECT_EQ(deci("300"), std::string(1, '\x2C'));
    EXPECT_EQ(deci("-01"), "\xFF");
    EXPECT_EQ(deci(" 65"), "A");
    EXPECT_EQ(deci("+65"), "A");
    EXPECT_EQ(error_of([] { return deci("65 66"); }), "'65 ' is not a valid integer value");
    EXPECT_EQ(error_of([] { return deci("0A5"); }), "'0A5' is not a valid integer value");
    EXPECT_EQ(error_of([] { return deci("--1"); }), "'--1' is not a valid integer value");
}

TEST(CharsToCodes, BothNotations) {
    EXPECT_EQ(chars_to_codes(std::string(1, '\0'), 'H', 2), "00");
    EXPECT_EQ(chars_to_codes(std::string(1, '\0'), 'D', 3), "000");
    EXPECT_EQ(chars_to_codes("\xE9", 'h', 2), "E9");
    EXPECT_EQ(chars_to_codes("\xE9", 'D', 3), "233");
    EXPECT_EQ(chars_to_codes("AB", 'H', 2), "41 42");
    EXPECT_EQ(chars_to_codes("AB", 'd', 3), "065 066");
    EXPECT_EQ(chars_to_codes("", 'H', 2), "");
}

TEST(CharsToCodes, EveryByteStringReadsBack) {
    for (int code = 0; code < 256; ++code) {
        const std::string chars(1, static_cast<char>(code));
        ASSERT_EQ(hexa(chars_to_codes(chars, 'H', 2)), chars) << code;
        ASSERT_EQ(deci(chars_to_codes(chars, 'D', 3)), chars) << code;
    }
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string chars(random() % (round < 1900 ? 20 : 600), '\0');
        for (char& c : chars) {
            c = static_cast<char>(random() % 256);
        }
        ASSERT_EQ(hexa(chars_to_codes(chars, 'H', 2)), chars);
        ASSERT_EQ(deci(chars_to_codes(chars, 'D', 3)), chars);
    }
}

TEST(Notations, KeywordsAreExact) {
    EXPECT_TRUE(is_notation("CHAR"));
    EXPECT_TRUE(is_notation("HEXA"));
    EXPECT_TRUE(is_notation("DECI"));
    EXPECT_FALSE(is_notation("char"));
    EXPECT_FALSE(is_notation("CHAR "));
    EXPECT_FALSE(is_notation(""));
}

TEST(ConversionTable, GrowsPastFiftyAndKeepsRecords) {
    ConversionTable table;
    table.record(51).char_from = "x";
    EXPECT_EQ(table.pairs.size(), 51u);
    table.record(2).char_to = "y";
    EXPECT_EQ(table.pairs.size(), 51u);
    EXPECT_EQ(table.record(51).char_from, "x");
}

}  // namespace
}  // namespace glossek
