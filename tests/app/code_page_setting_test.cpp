// SPDX-License-Identifier: MIT
#include "app/code_page_setting.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <optional>
#include <string>

#include "files/text_file.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using Environment = std::map<std::string, std::string>;

TEST(CodePageFile, KeptPairComesAfterTheOverridesAndBeforeTheLocale) {
    test::TempDir dir;
    const std::string file = dir.file("GLK32.CP");
    EXPECT_FALSE(read_code_page_file(file).has_value());
    write_code_page_file(file, {852, 1250});
    EXPECT_EQ(dir.read("GLK32.CP"), "852 1250\r\n");
    std::optional<PageNumbers> kept = read_code_page_file(file);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(std::pair(kept->oem, kept->ansi), std::pair(852, 1250));

    const Environment french = {{"LANG", "fr_FR.UTF-8"}};
    auto in_force = [&kept](const Environment& vars) {
        const CodePagePair pair = code_pages_from_environment(
            [&vars](const char* name) -> const char* {
                auto it = vars.find(name);
                return it == vars.end() ? nullptr : it->second.c_str();
            },
            kept);
        return std::pair(pair.oem, pair.ansi);
    };
    EXPECT_EQ(in_force(french), std::pair(852, 1250));
    EXPECT_EQ(in_force({{"LANG", "fr_FR"}, {"GLOSSEK_OEMCP", "437"}}), std::pair(437, 1250));
    EXPECT_EQ(in_force({{"GLOSSEK_ANSICP", "1252"}}), std::pair(852, 1252));

    write_code_page_file(file, {850, kUtf8Page});
    kept = read_code_page_file(file);
    EXPECT_EQ(kept->ansi, kUtf8Page);
    EXPECT_EQ(in_force({{"GLOSSEK_OEMCP", "437"}}), std::pair(437, kUtf8Page));
}

TEST(CodePageFile, OnlyAPairOfSupportedPagesIsTaken) {
    test::TempDir dir;
    const std::string file = dir.file("GLK32.CP");
    // Ended by CR LF, LF alone (as echo writes it) or nothing; blanks around the numbers.
    for (const std::string good :
         {"  850 1252 \r\nignored\r\n", "850 1252\n", "850\t 1252", "\t850 1252\t\nignored\n"}) {
        dir.write("GLK32.CP", good);
        EXPECT_EQ(read_code_page_file(file)->ansi, 1252) << good;
    }
    for (const std::string bad : {"850", "850 9999", "1252 850", "abc", "850,1252", "850 1252x", "",
                                  "8501252", "99999999999999999 1252", "850\n1252"}) {
        dir.write("GLK32.CP", bad + "\r\n");
        EXPECT_THROW(read_code_page_file(file), CodePageError) << bad;
    }
}

TEST(CodePageFile, AFolderIsUnreadableAndALargeFileIsRefusedQuotingItsStartOnly) {
    test::TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("GLK32.CP").c_str(), 0755), 0);
    try {
        read_code_page_file(dir.file("GLK32.CP"));
        FAIL();
    } catch (const TextIoError& error) {
        EXPECT_EQ(error.code(), kAccessDenied);
    }
    for (const std::string& large :
         {"850 1252\r\n" + std::string(1100, '#'), std::string(3 << 20, '7')}) {
        const std::string file = dir.write("big.cp", large);
        try {
            read_code_page_file(file);
            FAIL();
        } catch (const CodePageError& error) {
            EXPECT_EQ(error.kind(), CodePageError::Kind::TooLarge);
            EXPECT_LE(error.given().size(), CodePageError::kQuotedBytes);
        }
    }
}

TEST(CodePageResolution, WhatStandsInTheWayIsToldAndThePairWithoutItIsInForce) {
    test::TempDir dir;
    const std::string file = dir.write("GLK32.CP", "852 1250\r\n");
    auto resolve = [&file](const Environment& vars) {
        return resolve_code_pages(file, [&vars](const char* name) -> const char* {
            auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        });
    };
    CodePageResolution kept = resolve({{"GLOSSEK_OEMCP", "437"}});
    EXPECT_EQ(std::pair(kept.pages.oem, kept.pages.ansi), std::pair(437, 1250));
    EXPECT_FALSE(kept.file_error);
    EXPECT_FALSE(kept.variable_error);

    dir.write("GLK32.CP", "850 999\r\n");
    const CodePageResolution both = resolve({{"LANG", "ru_RU"}, {"GLOSSEK_ANSICP", "12"}});
    EXPECT_TRUE(both.file_error);
    ASSERT_TRUE(both.variable_error);
    EXPECT_EQ(std::string(both.variable_error->what()).rfind("GLOSSEK_ANSICP=12 is not", 0), 0u);
    EXPECT_EQ(std::pair(both.pages.oem, both.pages.ansi), std::pair(866, 1251));
}

}  // namespace
}  // namespace glossek
