// SPDX-License-Identifier: MIT
#include "app/folder_report.h"

#include <gtest/gtest.h>

namespace glossek {
namespace {

TEST(FolderReport, CsvQuotesWhatWouldSplitAFieldAndEndsLinesWithCrLf) {
    const std::vector<FolderReportRow> rows = {
        {"plain.txt", FolderResult::CopiedTarget, 0, 0, ""},
        {"a,b.txt", FolderResult::Converted, 12, 3, "say \"no\""},
        {"c.txt", FolderResult::Failed, 0, 0, "two\r\nlines\n"},
    };
    EXPECT_EQ(report_csv(rows),
              "path,result,characters,first_line,message\r\n"
              "plain.txt,copied-target,0,,\r\n"
              "\"a,b.txt\",converted,12,3,\"say \"\"no\"\"\"\r\n"
              "c.txt,failed,0,,\"two\r\nlines\n\"\r\n");
}

TEST(FolderReport, ReplaceQuestionSaysOneFileOrHowMany) {
    const LanguageTexts english = language_texts("US");
    EXPECT_NE(replace_question(1, english).find(" 1 file that"), std::string::npos);
    EXPECT_NE(replace_question(1234, english).find(" 1,234 files that"), std::string::npos);
    const LanguageTexts french = language_texts("FR");
    EXPECT_NE(replace_question(2, french).find(" 2 fichiers que"), std::string::npos);
}

}  // namespace
}  // namespace glossek
