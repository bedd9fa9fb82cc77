// SPDX-License-Identifier: MIT
#include "lang/captions.h"

#include <gtest/gtest.h>

#include <string>

#include "pages/code_pages.h"

namespace glossek {
namespace {

TEST(CodePageTitles, NumberNameAndKindInTheLanguage) {
    EXPECT_EQ(code_page_title(850, "US"), "850 Western European (DOS)");
    EXPECT_EQ(code_page_title(1252, "US"), "1252 Western European (Windows)");
    EXPECT_EQ(code_page_title(850, "FR"), "850 Europe occidentale (DOS)");
    EXPECT_EQ(code_page_title(862, "FR"), "862 Hébreu (DOS)");
    EXPECT_EQ(code_page_title(kUtf8Page, "US"), "65001 UTF-8 (Windows)");
    // Every page the program carries has a name of its own.
    for (const auto* pages : {&supported_oem_pages(), &supported_ansi_pages()}) {
        for (int page : *pages) {
            const std::string title = code_page_title(page, "US");
            EXPECT_GT(title.size(), std::to_string(page).size() + 8) << page;
        }
    }
}

}  // namespace
}  // namespace glossek
