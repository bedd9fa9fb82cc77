// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/start_up.h"
#include "files/file_names.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

TEST(Parameters, LeadingSlashQuotesAndMissingOnes) {
    EXPECT_EQ(parse_parameters({"/letter.txt", "/letter.dos", "/D", "/R"}),
              (Parameters{"letter.txt", "letter.dos", "D", "R"}));
    EXPECT_EQ(parse_parameters({"/home/u/letter.txt", "/tmp/x", "/A/home/u/t.glk", "//R"}),
              (Parameters{"/home/u/letter.txt", "/tmp/x", "A/home/u/t.glk", "/R"}));
    EXPECT_EQ(parse_parameters({"\"my file.txt\"", "out\".txt\""}),
              (Parameters{"my file.txt", "out.txt", "", ""}));
    EXPECT_EQ(parse_parameters({}), (Parameters{"", "", "", ""}));
    EXPECT_EQ(parse_parameters({"a", "b", "W", "R", "extra"}), (Parameters{"a", "b", "W", "R"}));
}

TEST(Parameters, WayAndRunLetters) {
    auto job_of = [](Parameters p) { return interpret_parameters(p, "/start"); };
    EXPECT_EQ(job_of({"in.txt", "out.txt", "d", "r"}).way, ConversionWay::WindowsToDos);
    EXPECT_TRUE(job_of({"in.txt", "out.txt", "d", "r"}).run);
    EXPECT_FALSE(job_of({"in.txt", "out.txt", "D", "RUN"}).run);
    EXPECT_EQ(job_of({"", "", "W", ""}).way, ConversionWay::DosToWindows);
    EXPECT_EQ(job_of({"", "", "X", ""}).way, ConversionWay::DosToWindows);
    EXPECT_EQ(job_of({"", "", "WD", ""}).way, ConversionWay::DosToWindows);
    CommandLineJob plain = job_of({"in.txt", "/abs/out.txt", "", ""});
    EXPECT_EQ(plain.input_name, "/start/in.txt");
    EXPECT_EQ(plain.output_name, "/abs/out.txt");
    EXPECT_EQ(job_of({"", "", "", ""}).input_name, "");
    CommandLineJob table = job_of({"", "", "A", "R"});
    EXPECT_TRUE(table.table_given);
    EXPECT_EQ(table.table_name, "");
    EXPECT_EQ(job_of({"", "", "aConv.glk", ""}).table_name, "/start/CONV.GLK");
}

TEST(Parameters, TableNameAsTypedThenInUpperCaseThenWithoutRegardToCase) {
    TempDir dir;
    ::mkdir(dir.file("Tables").c_str(), 0755);
    dir.write("Tables/conv.glk", "CHAR\r\n");
    auto table_of = [&](const std::string& way) {
        return interpret_parameters({"", "", way, ""}, dir.path());
    };
    EXPECT_EQ(table_of("Atables/conv.glk").table_name, dir.file("Tables/conv.glk"));

    dir.write("conv.glk", "");
    dir.write("Conv.glk", "");
    dir.write("cONV.glk", "");
    EXPECT_EQ(table_of("Aconv.glk").table_name, dir.file("conv.glk"));
    EXPECT_EQ(table_of("aConv.glk").table_name, dir.file("Conv.glk"));
    EXPECT_EQ(table_of("A" + dir.file("cONV.glk")).table_name, dir.file("cONV.glk"));
    const CommandLineJob several = table_of("ACoNv.GLK");
    EXPECT_EQ(several.table_name, dir.file("CoNv.GLK"));
    EXPECT_EQ(several.table_matches,
              (std::vector<std::string>{dir.file("Conv.glk"), dir.file("cONV.glk"),
                                        dir.file("conv.glk")}));
    dir.write("CONV.GLK", "");  // the name as the program always used it
    EXPECT_EQ(table_of("ACoNv.GLK").table_name, dir.file("CONV.GLK"));
    EXPECT_TRUE(table_of("ACoNv.GLK").table_matches.empty());

    // A folder of that name is no table; a name nothing matches is kept in upper case.
    ::mkdir(dir.file("t.GLK").c_str(), 0755);
    dir.write("T.glk", "");
    EXPECT_EQ(table_of("At.glk").table_name, dir.file("T.glk"));
    EXPECT_EQ(table_of("Atables/none.glk").table_name, dir.file("TABLES/NONE.GLK"));
    EXPECT_TRUE(table_of("Atables/none.glk").table_matches.empty());
}

TEST(Parameters, RelativeNamesWithoutAStartFolderAreLeftAndNamed) {
    CommandLineJob job = interpret_parameters({"/abs/in.txt", "out.txt", "Arel.glk", "R"}, "");
    EXPECT_EQ(job.unresolved_name, "out.txt");
    EXPECT_EQ(job.output_name, "out.txt");
    EXPECT_EQ(interpret_parameters({"/a", "/b", "Arel.glk", "R"}, "").unresolved_name, "rel.glk");
    EXPECT_EQ(interpret_parameters({"/a", "/b", "A/t.glk", "R"}, "").unresolved_name, "");
    EXPECT_EQ(interpret_parameters({"a", "/b", "W", "R"}, "/start").unresolved_name, "");
}

struct StartUpCase : ::testing::Test {
    TempDir dir;
    AppState state;
    StartUpCase() {
        state.pages = code_page_pair(850, 1252);
        state.program_dir = dir.path() + "/";
    }
    CommandLineJob command(std::vector<std::string> args) {
        return interpret_parameters(parse_parameters(args), dir.path());
    }
};

TEST_F(StartUpCase, WithoutRunTheJobIsFilledAndNothingConverted) {
    dir.write("t.glk", "HEXA\r\n- 41\r\n+ 42\r\n");
    StartUpResult result = apply_command_line(state, command({"in.txt", "out.txt", "At.glk"}));
    EXPECT_EQ(result.step, StartUpResult::Step::ShowGeneralData);
    EXPECT_EQ(state.job.input_name, dir.file("in.txt"));
    EXPECT_EQ(state.way, ConversionWay::AuxiliaryTable);
    EXPECT_EQ(state.job.table_name, dir.file("t.glk"));
    EXPECT_EQ(state.table.pair_count, 1u);
    EXPECT_EQ(state.table.notation, "HEXA");
    EXPECT_EQ(result.table_rows, (std::vector<TableRow>{{"41", "42"}}));
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
}

TEST_F(StartUpCase, TableIsNeverTheInputNorTheOutputOfABatchConversion) {
    const std::string table = "CHAR\r\n- a\r\n+ b\r\n";
    dir.write("t.glk", table);
    dir.write("in.txt", "a\r\n");
    ASSERT_EQ(::link(dir.file("t.glk").c_str(), dir.file("hard.glk").c_str()), 0);
    auto step_of = [&](std::vector<std::string> args) {
        return apply_command_line(state, command(std::move(args))).step;
    };
    auto refusal_of = [&](std::vector<std::string> args) {
        return apply_command_line(state, command(std::move(args))).refusal;
    };
    EXPECT_EQ(step_of({"in.txt", "hard.glk", "At.glk", "R"}), StartUpResult::Step::Refused);
    EXPECT_EQ(refusal_of({"in.txt", "hard.glk", "At.glk", "R"}), GoRefusal::SameOutputTable);
    EXPECT_EQ(refusal_of({"./t.glk", "out.txt", "At.glk", "R"}), GoRefusal::SameInputTable);
    EXPECT_EQ(dir.read("t.glk"), table);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    // Without "R" the window's Go checks the names; the table is loaded as usual.
    EXPECT_EQ(step_of({"in.txt", "t.glk", "At.glk"}), StartUpResult::Step::ShowGeneralData);
}

TEST_F(StartUpCase, RelativeNamesAreRefusedWhenTheStartFolderIsUnknown) {
    dir.write("in.txt", "a\r\n");
    const CommandLineJob job =
        interpret_parameters(parse_parameters({dir.file("in.txt"), "out.txt", "W", "R"}), "");
    EXPECT_THROW(apply_command_line(state, job), FolderUnknownError);
    EXPECT_EQ(state.job.input_name, "");
}

}  // namespace
}  // namespace glossek
