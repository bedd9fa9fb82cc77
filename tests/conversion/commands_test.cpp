#include "conversion/commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "conversion/engine.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

TEST(GoNames, SameFileByNameOrByIdentityInTheirOrder) {
    TempDir dir;
    const std::string in = dir.write("in.txt", "x");
    const std::string table = dir.write("t.glk", "CHAR\r\n");
    ASSERT_EQ(::symlink(in.c_str(), dir.file("in.lnk").c_str()), 0);
    ASSERT_EQ(::link(table.c_str(), dir.file("t.hard").c_str()), 0);
    auto refusal = [](std::string input, std::string output, std::string table_name) {
        ConversionJob job;
        job.InputName = std::move(input);
        job.OutputName = std::move(output);
        job.TableName = std::move(table_name);
        return check_go_names(job);
    };
    EXPECT_EQ(refusal("", "", ""), GoRefusal::OutputUnnamed);
    // No table and an empty input box: the two empty names are the same.
    EXPECT_EQ(refusal("", dir.file("out"), ""), GoRefusal::SameInputTable);
    EXPECT_EQ(refusal(dir.file("t.hard"), dir.file("out"), table), GoRefusal::SameInputTable);
    EXPECT_EQ(refusal(in, dir.path() + "/./t.glk", table), GoRefusal::SameOutputTable);
    EXPECT_EQ(refusal(in, dir.file("in.lnk"), table), GoRefusal::SameInputOutput);
    EXPECT_EQ(refusal(dir.file("new.txt"), dir.file("new.txt"), table), GoRefusal::SameInputOutput);
    EXPECT_EQ(refusal(in, dir.file("out"), table), GoRefusal::None);
    EXPECT_EQ(refusal(in, "/dev/null", ""), GoRefusal::None);
}

TEST(InputView, LinesAreCutForTheViewerAndAllCounted) {
    TempDir dir;
    const std::string long_line(3 * kViewerLineBytes + 5, 'L');
    ConversionJob job;
    job.InputName = dir.write("in.txt", "first\r\n" + long_line + "\r\nlast");
    std::vector<std::string> shown;
    read_input_view(job, [&](std::string_view line) { shown.emplace_back(line); });
    EXPECT_EQ(shown,
              (std::vector<std::string>{"first", long_line.substr(0, kViewerLineBytes), "last"}));
    EXPECT_EQ(job.LineCount, 3);
    EXPECT_FALSE(job.InputFile.is_open());
}

}  // namespace
}  // namespace glossek
