#include "conversion/job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
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

TEST_F(StartUpCase, TableIsNeverTheInputNorTheOutputOfABatchConversion) {
    const std::string table = "CHAR\r\n- a\r\n+ b\r\n";
    dir.write("t.glk", table);
    dir.write("in.txt", "a\r\n");
    ASSERT_EQ(::link(dir.file("t.glk").c_str(), dir.file("hard.glk").c_str()), 0);
    auto step_of = [&](std::vector<std::string> args) {
        return apply_command_line(state, command(std::move(args))).step;
    };
    EXPECT_EQ(step_of({"in.txt", "hard.glk", "At.glk", "R"}), StartUpResult::Step::SameOutputTable);
    EXPECT_EQ(step_of({"./t.glk", "out.txt", "At.glk", "R"}), StartUpResult::Step::SameInputTable);
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
    EXPECT_EQ(state.job.InputName, "");
    EXPECT_FALSE(run_batch(state, job, err));
    EXPECT_NE(err.str().find("glossek: out.txt: The folder the program was started from"),
              std::string::npos)
        << err.str();
}

// An environment variable set, or unset with nullptr, for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST_F(StartUpCase, BatchSaysHowManyCharactersWereLostOnlyWhenAskedTo) {
    ScopedVariable oem("GLOSSEK_OEMCP", "850");
    ScopedVariable ansi("GLOSSEK_ANSICP", "65001");
    // An em dash (a best fit), an emoji ('?') and a sequence cut by the end of the data.
    dir.write("in.txt", "caf\xC3\xA9\r\n\xE2\x80\x94 \xF0\x9F\x98\x80\r\n\xC3");
    const std::string converted = "caf\x82\r\n- ?\r\n?\r\n";
    auto said = [&](const char* report) {
        ScopedVariable variable("GLOSSEK_REPORT", report);
        err.str("");
        EXPECT_FALSE(run_batch(state, command({"in.txt", "out.txt", "D", "R"}), err));
        EXPECT_EQ(dir.read("out.txt"), converted);
        return err.str();
    };
    EXPECT_EQ(said(nullptr), "");  // scripts rely on silence after success
    EXPECT_EQ(said("0"), "");
    EXPECT_EQ(said("yes"), "");
    EXPECT_EQ(said("1"), "glossek: " + dir.file("out.txt") +
                             ": 3 characters had no exact counterpart (first on line 2)\n");
    dir.write("GLK32.LNG", "FR\r\n");
    EXPECT_EQ(said("1"), "glossek: " + dir.file("out.txt") +
                             ": 3 caract\xC3\xA8res n'avaient pas d'\xC3\xA9quivalent exact "
                             "(le premier \xC3\xA0 la ligne 2)\n");
    // Nothing lost, nothing said.
    dir.write("in.txt", "caf\xC3\xA9\r\n");
    ScopedVariable variable("GLOSSEK_REPORT", "1");
    err.str("");
    run_batch(state, command({"in.txt", "out.txt", "D", "R"}), err);
    EXPECT_EQ(err.str(), "");
}

TEST_F(StartUpCase, NamesAreShownAsTheSystemSpellsThemAndTextsInUtf8) {
    dir.write("GLK32.LNG", "FR\r\n");
    EXPECT_FALSE(
        run_batch(state, command({"\xC3\xA9t\xC3\xA9\x1B[2J.txt", "o.txt", "W", "R"}), err));
    EXPECT_EQ(err.str(), "glossek: " + dir.file("\xC3\xA9t\xC3\xA9\\x1B[2J.txt") +
                             ": Le fichier n'existe pas ou la zone 'entr\xC3\xA9"
                             "e' est vide.\n");
}

}  // namespace
}  // namespace glossek
