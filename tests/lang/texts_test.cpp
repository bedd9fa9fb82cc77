// SPDX-License-Identifier: MIT
#include "lang/texts.h"

#include <gtest/gtest.h>

#include "files/text_file.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

TEST(LanguageTexts, FrenchIsCp1252AndSomeTextsAreShared) {
    LanguageTexts en = language_texts("US");
    LanguageTexts fr = language_texts("FR");
    EXPECT_EQ(fr.lng_same_input_output,
              "Les fichiers en entr\xE9"
              "e et en sortie doivent \xEA"
              "tre diff\xE9"
              "rents.");
    EXPECT_EQ(fr.lng_output_unnamed, "Output file mus have a name");
    EXPECT_EQ(en.lng_output_unnamed, fr.lng_output_unnamed);
    EXPECT_EQ(en.lng_product + en.lng_version_suffix, "Glossek 3.12");
    EXPECT_EQ(fr.lng_product + fr.lng_version_suffix, "Glossek 3.12");
    EXPECT_EQ(language_texts("fr").lng_row, "Row");
}

TEST(LanguageFile, OnlyTheFirstTwoCharactersOfTheFirstLineCount) {
    TempDir dir;
    auto code_in = [&](const std::string& bytes) {
        return corrected_language_code(read_language_code(dir.write("GLK32.LNG", bytes)));
    };
    EXPECT_EQ(code_in("FR\r\n"), "FR");
    EXPECT_EQ(code_in("FRxx\r\n"), "FR");
    EXPECT_EQ(code_in("fr\r\n"), "US");
    EXPECT_EQ(code_in(" FR\r\n"), "US");
    EXPECT_EQ(code_in(""), "US");
    EXPECT_EQ(code_in("\r\nFR\r\n"), "US");
    EXPECT_EQ(read_language_code(dir.file("none.lng")), "US");

    write_language_file(dir.file("GLK32.LNG"), "FR");
    EXPECT_EQ(dir.read("GLK32.LNG"), "FR\r\n");
}

TEST(Cp1252, ToUtf8AndBack) {
    std::string all;
    for (int b = 0x20; b < 0x100; ++b) {
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) {
            all += static_cast<char>(b);
        }
    }
    EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
    EXPECT_EQ(cp1252_to_utf8("\xE9\x80"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(utf8_to_cp1252("\xE4\xB8\xAD"), "?");
}

}  // namespace
}  // namespace glossek
