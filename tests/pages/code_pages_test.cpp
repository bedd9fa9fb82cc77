// SPDX-License-Identifier: MIT
#include "pages/code_pages.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/iconv.h"

namespace glossek {
namespace {

bool is_control(unsigned char b) {
    return b < 0x20 || b == 0x7F;
}

using test::Iconv;

// The table, and which of its entries it says are no exact match.
void check_against_iconv(int from, int to, const unsigned char* table, const unsigned char* lossy) {
    auto is_lossy = [lossy](int b) { return ((lossy[b >> 3] >> (b & 7)) & 1) != 0; };
    Iconv decode(from, 0);
    Iconv convert(from, to);
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const unsigned char got = table[b];
        SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + " byte " +
                     std::to_string(b));
        if (is_control(byte)) {
            EXPECT_EQ(got, byte);
            EXPECT_FALSE(is_lossy(b));
            continue;
        }
        if (!decode.convert(byte)) {
            EXPECT_EQ(got, '?') << "undefined source byte";
            EXPECT_TRUE(is_lossy(b));
            continue;
        }
        const auto exact = convert.convert(byte);
        // A one-byte result is an exact match. glibc's CP1258 writes a precomposed letter it
        // lacks as base letter plus combining mark; two bytes cannot fit a one-for-one table,
        // so those count as missing characters like any other.
        if (exact && exact->size() == 1) {
            EXPECT_EQ(got, static_cast<unsigned char>((*exact)[0]));
            EXPECT_FALSE(is_lossy(b));
        } else {
            EXPECT_FALSE(is_control(got)) << "best fit gave a control byte";
            EXPECT_TRUE(is_lossy(b));
        }
    }
}

TEST(CodePageTables, AgreeWithIconvForEveryByteOfEveryPair) {
    ASSERT_EQ(supported_oem_pages().size() * supported_ansi_pages().size(), 176u);
    EXPECT_EQ(supported_ansi_pages().back(), kUtf8Page);  // UTF-8 is listed last
    for (int oem : supported_oem_pages()) {
        for (int ansi : supported_ansi_pages()) {
            const CodePagePair pair = code_page_pair(oem, ansi);
            ASSERT_EQ(pair.oem, oem);
            ASSERT_EQ(pair.ansi, ansi);
            ASSERT_NE(pair.oem_chars, nullptr);
            if (ansi == kUtf8Page) {
                EXPECT_TRUE(pair.utf8());
                EXPECT_EQ(pair.oem_to_ansi, nullptr);  // no one-for-one table: see transcode
                continue;
            }
            ASSERT_NE(pair.oem_to_ansi, nullptr);
            ASSERT_NE(pair.ansi_to_oem, nullptr);
            check_against_iconv(oem, ansi, pair.oem_to_ansi, pair.oem_to_ansi_lossy);
            check_against_iconv(ansi, oem, pair.ansi_to_oem, pair.ansi_to_oem_lossy);
        }
    }
}

TEST(CodePageTables, BestFits) {
    const CodePagePair dos_west = code_page_pair(850, 1252);
    EXPECT_EQ(dos_west.oem_to_ansi[0xC4], '-');  // horizontal line
    EXPECT_EQ(dos_west.oem_to_ansi[0xB3], '|');  // vertical line
    EXPECT_EQ(dos_west.oem_to_ansi[0xBA], '|');  // double vertical line
    EXPECT_EQ(dos_west.oem_to_ansi[0xDA], '+');  // corner
    EXPECT_EQ(dos_west.oem_to_ansi[0xC5], '+');  // cross
    EXPECT_EQ(dos_west.oem_to_ansi[0xDB], '#');  // full block

    EXPECT_EQ(code_page_pair(850, 1251).ansi_to_oem[0xC0], '?');  // Cyrillic A
    EXPECT_EQ(code_page_pair(850, 1251).oem_to_ansi[0xC6], 'a');  // a with tilde
    EXPECT_EQ(code_page_pair(437, 1250).ansi_to_oem[0xC8], 'C');  // C with caron
    EXPECT_EQ(code_page_pair(437, 1252).ansi_to_oem[0x8C], 'O');  // OE ligature
    EXPECT_EQ(code_page_pair(437, 1252).ansi_to_oem[0x93], '"');  // left double quote
    EXPECT_EQ(code_page_pair(437, 1252).ansi_to_oem[0x97], '-');  // em dash

    // cp864 has the Arabic percent sign where ASCII has '%', and Arabic letters only as
    // presentation forms; both must still come through.
    const CodePagePair arabic = code_page_pair(864, 1256);
    EXPECT_EQ(arabic.oem_to_ansi[0x25], '%');
    EXPECT_EQ(code_page_pair(864, 1252).ansi_to_oem[0x25], 0x25);
    EXPECT_EQ(arabic.ansi_to_oem[0xC7], 0xC7);  // alef to its isolated form
    EXPECT_EQ(arabic.oem_to_ansi[0xB3], '3');   // Arabic-Indic digit three
}

TEST(CodePagePair, RefusesUnsupportedPages) {
    EXPECT_THROW(code_page_pair(999, 1252), CodePageError);
    EXPECT_THROW(code_page_pair(437, 999), CodePageError);
    EXPECT_THROW(code_page_pair(1252, 437), CodePageError);  // kinds swapped
}

TEST(PagesForLocale, FollowsTheWindowsChoice) {
    const std::map<std::string, std::pair<int, int>> expected = {
        {"fr_FR.UTF-8", {850, 1252}}, {"de_CH", {850, 1252}},        {"sv_SE", {850, 1252}},
        {"en_GB.UTF-8", {850, 1252}}, {"en_US.UTF-8", {437, 1252}},  {"C", {437, 1252}},
        {"C.UTF-8", {437, 1252}},     {"POSIX", {437, 1252}},        {"", {437, 1252}},
        {"ja_JP", {437, 1252}},       {"ru_RU.KOI8-R", {866, 1251}}, {"sr_RS", {866, 1251}},
        {"sr_RS@latin", {852, 1250}}, {"sr@latin", {852, 1250}},     {"cs_CZ", {852, 1250}},
        {"el_GR", {737, 1253}},       {"tr_TR", {857, 1254}},        {"iw_IL", {862, 1255}},
        {"ar_EG.UTF-8", {864, 1256}}, {"lv_LV", {775, 1257}},
    };
    for (const auto& [locale, pages] : expected) {
        EXPECT_EQ(pages_for_locale(locale), pages) << locale;
    }
}

using Environment = std::map<std::string, std::string>;

CodePagePair pages_from(const Environment& vars) {
    return code_pages_from_environment([&vars](const char* name) -> const char* {
        auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    });
}

std::string error_from(const Environment& vars) {
    try {
        pages_from(vars);
    } catch (const CodePageError& e) {
        return e.what();
    }
    return "no error";
}

TEST(CodePagesFromEnvironment, LocaleVariablesInOrder) {
    EXPECT_EQ(pages_from({}).oem, 437);
    const CodePagePair pair =
        pages_from({{"LC_ALL", ""}, {"LC_CTYPE", "ru_RU"}, {"LANG", "de_DE"}});
    EXPECT_EQ(pair.oem, 866);
    EXPECT_EQ(pair.oem_to_ansi, code_page_pair(866, 1251).oem_to_ansi);
    EXPECT_EQ(pages_from({{"LC_ALL", "pl_PL"}, {"LANG", "de_DE"}}).ansi, 1250);
}

TEST(CodePagesFromEnvironment, Overrides) {
    const CodePagePair oem_only = pages_from({{"LANG", "fr_FR"}, {"GLOSSEK_OEMCP", "437"}});
    EXPECT_EQ(std::pair(oem_only.oem, oem_only.ansi), std::pair(437, 1252));
    const CodePagePair ansi_only = pages_from({{"LANG", "fr_FR"}, {"GLOSSEK_ANSICP", "1250"}});
    EXPECT_EQ(std::pair(ansi_only.oem, ansi_only.ansi), std::pair(850, 1250));
    const CodePagePair both = pages_from({{"GLOSSEK_OEMCP", "866"}, {"GLOSSEK_ANSICP", "1251"}});
    EXPECT_EQ(both.ansi_to_oem, code_page_pair(866, 1251).ansi_to_oem);
    const CodePagePair utf8 = pages_from({{"LANG", "ru_RU"}, {"GLOSSEK_ANSICP", "65001"}});
    EXPECT_EQ(std::pair(utf8.oem, utf8.ansi), std::pair(866, kUtf8Page));

    EXPECT_EQ(error_from({{"GLOSSEK_OEMCP", "999"}}),
              "GLOSSEK_OEMCP=999 is not a supported DOS code page; supported: 437, 737, 775, "
              "850, 852, 855, 857, 858, 860, 861, 862, 863, 864, 865, 866, 869");
    EXPECT_EQ(error_from({{"GLOSSEK_ANSICP", "850"}}),
              "GLOSSEK_ANSICP=850 is not a supported Windows code page; supported: 874, 1250, "
              "1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 65001");
    for (const std::string garbage :
         {" 850", "850 ", "+850", "0x352", "850abc", "", "abc", "99999999999999999999850"}) {
        EXPECT_EQ(error_from({{"GLOSSEK_OEMCP", garbage}})
                      .rfind("GLOSSEK_OEMCP=" + garbage + " is not", 0),
                  0u)
            << '"' << garbage << '"';
    }
}

}  // namespace
}  // namespace glossek
