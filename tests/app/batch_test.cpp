// SPDX-License-Identifier: MIT
#include "app/batch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "files/file_names.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::ScopedVariable;
using test::TempDir;

struct BatchCase : ::testing::Test {
    TempDir dir;
    AppState state;
    std::ostringstream err;
    BatchCase() {
        state.pages = code_page_pair(850, 1252);
        state.program_dir = dir.path() + "/";
    }
    CommandLineJob command(std::vector<std::string> args) {
        return interpret_parameters(parse_parameters(args), dir.path());
    }
};

TEST_F(BatchCase, BatchConvertsWithATableAndSaysNothing) {
    dir.write("in.txt", "AAB\r\n");
    dir.write("t.glk", "DECI\r\n- 065 065\r\n+ 066\r\n");
    EXPECT_FALSE(run_batch(state, command({"in.txt", "out.txt", "at.glk", "r"}), err));
    EXPECT_EQ(dir.read("out.txt"), "BB\r\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(BatchCase, BatchExplainsWhyNothingWasConverted) {
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

TEST_F(BatchCase, RelativeNamesAreRefusedWhenTheStartFolderIsUnknown) {
    dir.write("in.txt", "a\r\n");
    const CommandLineJob job =
        interpret_parameters(parse_parameters({dir.file("in.txt"), "out.txt", "W", "R"}), "");
    EXPECT_FALSE(run_batch(state, job, err));
    EXPECT_NE(err.str().find("glossek: out.txt: The folder the program was started from"),
              std::string::npos)
        << err.str();
}

TEST_F(BatchCase, BatchSaysHowManyCharactersWereLostOnlyWhenAskedTo) {
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

TEST_F(BatchCase, AnInputThatAlreadyReadsAsTheTargetIsSaidWhenAskedAndConverted) {
    ScopedVariable oem("GLOSSEK_OEMCP", "850");
    ScopedVariable ansi("GLOSSEK_ANSICP", "1252");
    const std::string windows =
        "Le comit\xE9 a d\xE9"
        "cid\xE9 de reporter la r\xE9union.\r\n";
    dir.write("in.txt", windows + windows);
    auto said = [&](const char* report, const char* way) {
        ScopedVariable variable("GLOSSEK_REPORT", report);
        err.str("");
        EXPECT_FALSE(run_batch(state, command({"in.txt", "out.txt", way, "R"}), err));
        EXPECT_TRUE(file_exists(dir.file("out.txt")));  // nothing refused
        return err.str();
    };
    EXPECT_EQ(said(nullptr, "W"), "");
    EXPECT_EQ(said("1", "W"), "glossek: " + dir.file("in.txt") +
                                  ": The input already reads as Windows text (1252).\n");
    EXPECT_EQ(said("1", "D"), "");  // Windows to DOS is what it needs
}

TEST_F(BatchCase, AKeptPairIsReadAsEchoWritesItAndOneThatCannotBeUsedStopsTheRun) {
    ScopedVariable locale("LC_ALL", "ru_RU.UTF-8");  // 866/1251 without the file
    dir.write("in.txt", "caf\x82\r\n");
    dir.write("GLK32.CP", " 850\t65001\n");
    EXPECT_FALSE(run_batch(state, command({"in.txt", "out.txt", "W", "R"}), err));
    EXPECT_EQ(dir.read("out.txt"), "caf\xC3\xA9\r\n");
    EXPECT_EQ(err.str(), "");
    dir.write("GLK32.CP", "850 999\r\n");
    EXPECT_FALSE(run_batch(state, command({"in.txt", "new.txt", "W", "R"}), err));
    EXPECT_EQ(err.str().rfind("glossek: " + dir.file("GLK32.CP") +
                                  ": The code pages kept in this file cannot be used. Nothing "
                                  "was converted.\nglossek: '850 999' is not a DOS code page",
                              0),
              0u)
        << err.str();
    EXPECT_FALSE(file_exists(dir.file("new.txt")));
}

TEST_F(BatchCase, NamesAreShownAsTheSystemSpellsThemAndTextsInUtf8) {
    dir.write("GLK32.LNG", "FR\r\n");
    EXPECT_FALSE(
        run_batch(state, command({"\xC3\xA9t\xC3\xA9\x1B[2J.txt", "o.txt", "W", "R"}), err));
    EXPECT_EQ(err.str(), "glossek: " + dir.file("\xC3\xA9t\xC3\xA9\\x1B[2J.txt") +
                             ": Le fichier n'existe pas ou la zone 'entr\xC3\xA9"
                             "e' est vide.\n");
}

}  // namespace
}  // namespace glossek
