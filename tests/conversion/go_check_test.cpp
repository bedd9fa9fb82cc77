// SPDX-License-Identifier: MIT
#include "conversion/go_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

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
        job.input_name = std::move(input);
        job.output_name = std::move(output);
        job.table_name = std::move(table_name);
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

TEST(GoDecision, ChecksInOrderThenAsksOnlyForAnExistingOutput) {
    TempDir dir;
    ConversionJob job;
    EXPECT_EQ(decide_go(job).refusal, GoRefusal::OutputUnnamed);
    job.output_name = dir.file("out.txt");
    // No table and an empty input box: the two empty names are equal.
    EXPECT_EQ(decide_go(job).refusal, GoRefusal::SameInputTable);
    job.input_name = dir.write("in.txt", "x");
    job.table_name = job.output_name;
    EXPECT_EQ(decide_go(job).refusal, GoRefusal::SameOutputTable);
    job.table_name = dir.file("t.glk");
    job.output_name = job.input_name;
    EXPECT_EQ(decide_go(job).refusal, GoRefusal::SameInputOutput);
    EXPECT_FALSE(decide_go(job).ask_overwrite);  // a refused Go asks nothing

    job.output_name = dir.file("out.txt");
    GoDecision decision = decide_go(job);
    EXPECT_EQ(decision.refusal, GoRefusal::None);
    EXPECT_FALSE(decision.ask_overwrite);
    EXPECT_TRUE(decision.input_exists);
    dir.write("out.txt", "old");
    EXPECT_TRUE(decide_go(job).ask_overwrite);
    // A missing input is said before any question about the output.
    job.input_name = dir.file("missing.txt");
    EXPECT_FALSE(decide_go(job).input_exists);
    EXPECT_FALSE(decide_go(job).ask_overwrite);
}

TEST(ProposedOutputName, CvtGoesBeforeTheExtensionOfTheNameOnly) {
    EXPECT_EQ(proposed_output_name("/docs/LETTER.TXT"), "/docs/LETTER.cvt.TXT");
    EXPECT_EQ(proposed_output_name("/a/b.c/README"), "/a/b.c/README.cvt");
    EXPECT_EQ(proposed_output_name("/docs/notes"), "/docs/notes.cvt");
    EXPECT_EQ(proposed_output_name("/docs/report.2024.final.txt"),
              "/docs/report.2024.final.cvt.txt");
    EXPECT_EQ(proposed_output_name("/docs/.profile"), "/docs/.cvt.profile");
}

}  // namespace
}  // namespace glossek
