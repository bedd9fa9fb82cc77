#include "conversion/job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "app/batch.h"
#include "conversion/start_up.h"
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

TEST(Parameters, UpperCasedTableNameFoundWithoutRegardToCase) {
    TempDir dir;
    ::mkdir(dir.file("Tables").c_str(), 0755);
    dir.write("Tables/conv.glk", "CHAR\r\n");
    CommandLineJob job = interpret_parameters({"", "", "Atables/conv.glk", ""}, dir.path());
    EXPECT_EQ(job.table_name, dir.file("Tables/conv.glk"));
    EXPECT_EQ(find_ignoring_case(dir.file("TABLES/NONE.GLK")), dir.file("TABLES/NONE.GLK"));
}

struct StartUpCase : ::testing::Test {
    TempDir dir;
    AppState state;
    std::ostringstream err;
    StartUpCase() {
        state.pages = code_page_pair(850, 1252);
        state.ProgramDir = dir.path() + "/";
    }
    CommandLineJob command(std::vector<std::string> args) {
        return interpret_parameters(parse_parameters(args), dir.path());
    }
};

TEST_F(StartUpCase, WithoutRunTheJobIsFilledAndNothingConverted) {
    dir.write("t.glk", "HEXA\r\n- 41\r\n+ 42\r\n");
    StartUpResult result = apply_command_line(state, command({"in.txt", "out.txt", "At.glk"}));
    EXPECT_EQ(result.step, StartUpResult::Step::ShowGeneralData);
    EXPECT_EQ(state.job.InputName, dir.file("in.txt"));
    EXPECT_EQ(state.way, ConversionWay::AuxiliaryTable);
    EXPECT_EQ(state.job.TableName, dir.file("t.glk"));
    EXPECT_EQ(state.job.PairCount, 1);
    EXPECT_EQ(state.job.Notation, "HEXA");
    EXPECT_EQ(result.table_rows, (std::vector<TableRow>{{"41", "42"}}));
    EXPECT_EQ(state.job.RunFlag, 0);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
}

TEST_F(StartUpCase, BatchConvertsWithATableAndSaysNothing) {
    dir.write("in.txt", "AAB\r\n");
    dir.write("t.glk", "DECI\r\n- 065 065\r\n+ 066\r\n");
    EXPECT_FALSE(run_batch(state, command({"in.txt", "out.txt", "at.glk", "r"}), err));
    EXPECT_EQ(dir.read("out.txt"), "BB\r\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(StartUpCase, BatchExplainsWhyNothingWasConverted) {
    EXPECT_FALSE(run_batch(state, command({"none.txt", "out.txt", "D", "R"}), err));
    EXPECT_NE(err.str().find("none.txt: File does not exist"), std::string::npos) << err.str();
    EXPECT_FALSE(file_exists(dir.file("out.txt")));

    err.str("");
    dir.write("in.txt", "x\r\n");
    EXPECT_TRUE(run_batch(state, command({"in.txt", "out.txt", "Amissing.glk", "R"}), err));
    EXPECT_NE(err.str().find("MISSING.GLK: Procedure halted"), std::string::npos) << err.str();
    EXPECT_FALSE(file_exists(dir.file("out.txt")));

    err.str("");
    dir.write("bad.glk", "TABLE\r\n- a\r\n+ b\r\n");
    EXPECT_TRUE(run_batch(state, command({"in.txt", "out.txt", "Abad.glk", "R"}), err));
    EXPECT_NE(err.str().find("first line must be CHAR, HEXA or DECI"), std::string::npos)
        << err.str();
    EXPECT_FALSE(file_exists(dir.file("out.txt")));

    err.str("");
    EXPECT_FALSE(run_batch(state, command({"in.txt", "nofolder/out.txt", "W", "R"}), err));
    EXPECT_NE(err.str().find("nofolder/out.txt: Invalid filename."), std::string::npos)
        << err.str();
}

}  // namespace
}  // namespace glossek
