// SPDX-License-Identifier: MIT
#include "table/table_file.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "files/text_file.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;
using Rows = std::vector<TableRow>;

struct Loaded {
    TextLineFile file;
    ConversionTable table;
    Rows rows;
};

void load(Loaded& into, const std::string& name) {
    into.rows = load_table_file(name, into.file, into.table);
}

TEST(TableFile, ReadsTheExampleInBothCodeNotations) {
    TempDir dir;
    Loaded hexa;
    load(hexa, dir.write("h.glk", "HEXA\r\n- 82\r\n+ E9\r\n- 1A\r\n+ \r\n"));
    EXPECT_EQ(hexa.table.notation, "HEXA");
    EXPECT_EQ(hexa.table.pair_count, 2u);
    EXPECT_EQ(hexa.rows, (Rows{{"82", "E9"}, {"1A", ""}}));
    EXPECT_EQ(hexa.table.pairs[0].char_from, "\x82");
    EXPECT_EQ(hexa.table.pairs[0].char_to, "\xE9");
    EXPECT_EQ(hexa.table.pairs[1].char_from, "\x1A");
    EXPECT_EQ(hexa.table.pairs[1].char_to, "");

    Loaded deci;
    load(deci, dir.write("d.glk", "DECI\r\n- 130\r\n+ 233\r\n- 026\r\n+ \r\n"));
    EXPECT_EQ(deci.rows, (Rows{{"130", "233"}, {"026", ""}}));
    EXPECT_EQ(deci.table.pairs[0].char_from, hexa.table.pairs[0].char_from);
    EXPECT_EQ(deci.table.pairs[1].char_from, "\x1A");
    EXPECT_EQ(deci.table.pairs[0].deci_to, "233");
}

TEST(TableFile, SaveThenLoadGivesBackEveryRowWholeInEachNotation) {
    TempDir dir;
    std::string long_side(200, 'L');
    const Rows char_rows = {{"abc", "xyz"}, {"", ""}, {long_side, "\xE9\n\t"}};
    const Rows hexa_rows = {{"0D 0A", "1A"}, {"", "00 FF"}};
    std::string long_codes;
    for (int i = 0; i < 33; ++i) {
        long_codes += "255";
    }
    const Rows deci_rows = {{"013", "026 000"}, {"", long_codes}};
    for (const auto& [notation, rows] :
         {std::pair{"CHAR", char_rows}, {"HEXA", hexa_rows}, {"DECI", deci_rows}}) {
        TextLineFile file;
        std::string name = dir.file(std::string(notation) + ".glk");
        save_table_file(file, name, notation, rows);
        Loaded back;
        load(back, name);
        EXPECT_EQ(back.table.notation, notation);
        EXPECT_EQ(back.rows, rows);
        EXPECT_EQ(back.table.pair_count, rows.size());
    }
    Loaded hexa;
    load(hexa, dir.file("HEXA.glk"));
    EXPECT_EQ(hexa.table.pairs[0].char_from, "\r\n");
    EXPECT_EQ(hexa.table.pairs[1].char_to, std::string("\0\xFF", 2));
    EXPECT_EQ(dir.read("HEXA.glk"), "HEXA\r\n- 0D 0A\r\n+ 1A\r\n- \r\n+ 00 FF\r\n");
}

// What the reader would refuse or give back otherwise is refused by the writer, with the
// row, before the file is touched.
TEST(TableFile, SidesThatWouldNotReadBackAreRefusedBeforeTheFileIsTouched) {
    TempDir dir;
    const std::string old = "CHAR\r\n- old\r\n+ table\r\n";
    const std::string name = dir.write("keep.glk", old);
    struct Case {
        std::string notation;
        Rows rows;
        TableFileError::Reason reason;
        std::size_t row;
        std::size_t column = 0;
    };
    const std::vector<Case> cases = {
        {"CHAR", {{"ok", "fine"}, {"x", "a\rb"}}, TableFileError::Reason::UnsafeCharSide, 2},
        {"CHAR", {{"\x1A", ""}}, TableFileError::Reason::UnsafeCharSide, 1},
        // Blanks are no codes: 1,199 of them would come back as an error, not as a side.
        {"DECI",
         {{"013", "026 000"}, {std::string(300 * 4 - 1, ' '), ""}},
         TableFileError::Reason::UnreadableCodeSide,
         2,
         1},
        {"HEXA", {{"41", "4G"}}, TableFileError::Reason::UnreadableCodeSide, 1, 2},
        {"HEXA", {{"41\r42", ""}}, TableFileError::Reason::UnreadableCodeSide, 1, 1},
        {"DECI", {{"065", "066\x1A"}}, TableFileError::Reason::UnreadableCodeSide, 1, 2},
        // A code past 255 would come back as another byte; letters are no codes.
        {"DECI", {{"101 999", ""}}, TableFileError::Reason::UnreadableCodeSide, 1, 1},
        {"HEXA", {{"", "zz g 4"}}, TableFileError::Reason::UnreadableCodeSide, 1, 2},
        {"CHAR ", {{"a", "b"}}, TableFileError::Reason::NotAKeyword, 0},
        {"CHAR", {{std::string(kTableFileLimit, 'x'), ""}}, TableFileError::Reason::TooLarge, 0},
    };
    for (const Case& refused : cases) {
        TextLineFile file;
        try {
            save_table_file(file, name, refused.notation, refused.rows);
            ADD_FAILURE() << refused.notation << " saved";
        } catch (const TableFileError& error) {
            EXPECT_EQ(error.reason(), refused.reason) << refused.notation;
            EXPECT_EQ(error.row(), refused.row) << refused.notation;
            EXPECT_EQ(error.column(), refused.column) << refused.notation;
            EXPECT_EQ(error.file(), name);
        }
        EXPECT_EQ(dir.read("keep.glk"), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"keep.glk"});
    }
    TextLineFile file;
    EXPECT_NO_THROW(save_table_file(file, name, "HEXA", {{"0D", "1A"}}));
}

TEST(TableFile, FilesLargerThanTheLimitAreRefusedWithoutReadingThemWhole) {
    TempDir dir;
    Loaded loaded;
    load(loaded, dir.write("good.glk", "CHAR\r\n- a\r\n+ b\r\n"));
    // Just at the limit: read; a byte more, or one line without an end: refused.
    std::string at_limit = "CHAR\r\n- ";
    at_limit += std::string(kTableFileLimit - at_limit.size() - 6, 'x') + "\r\n+ \r\n";
    ASSERT_EQ(at_limit.size(), kTableFileLimit);
    Loaded big;
    load(big, dir.write("limit.glk", at_limit));
    EXPECT_EQ(big.table.pair_count, 1u);
    for (const std::string& bytes :
         {at_limit + "-", "CHAR\r\n- " + std::string(2 * kTableFileLimit, 'y'),
          "CHAR" + std::string(3 * kTableFileLimit, '\0'),
          "HEXA\r" + std::string(kTableFileLimit, '\r')}) {
        const std::string bad_name = dir.write("big.glk", bytes);
        try {
            load_table_file(bad_name, loaded.file, loaded.table);
            ADD_FAILURE() << "read";
        } catch (const TableFileError& error) {
            EXPECT_EQ(error.reason(), TableFileError::Reason::TooLarge);
        }
        EXPECT_EQ(loaded.table.pair_count, 1u);
        EXPECT_EQ(loaded.table.pairs.size(), 1u);
        EXPECT_FALSE(loaded.file.is_open());
    }
    // Bytes after a Ctrl-Z are no data: they do not count.
    load(loaded,
         dir.write("z.glk", "DECI\r\n- 065\r\n+ \r\n\x1A" + std::string(2 * kTableFileLimit, 'z')));
    EXPECT_EQ(loaded.rows, (Rows{{"065", ""}}));
}

TEST(TableFile, IncompleteLastPairIsNeitherShownNorCounted) {
    TempDir dir;
    Loaded loaded;
    load(loaded, dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n- c\r\n"));
    EXPECT_EQ(loaded.table.pair_count, 1u);
    EXPECT_EQ(loaded.rows, (Rows{{"a", "b"}}));
}

TEST(TableFile, KeywordAloneGivesAnEmptyTable) {
    TempDir dir;
    Loaded loaded;
    load(loaded, dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n"));
    load(loaded, dir.write("k.glk", "DECI\r\n"));
    EXPECT_EQ(loaded.table.notation, "DECI");
    EXPECT_EQ(loaded.table.pair_count, 0u);
    EXPECT_TRUE(loaded.rows.empty());
}

TEST(TableFile, RefusedFilesChangeNothing) {
    TempDir dir;
    Loaded loaded;
    load(loaded, dir.write("good.glk", "CHAR\r\n- a\r\n+ b\r\n"));
    for (const std::string& bytes :
         {std::string("CHAR \r\n- x\r\n+ y\r\n"), std::string("char\r\n- x\r\n+ y\r\n"),
          std::string(""), std::string("HEXA\r\n- 41\r\n+ 42\r\n- 4 1\r\n+ 00\r\n")}) {
        const std::string bad_name = dir.write("bad.glk", bytes);
        EXPECT_ANY_THROW(load_table_file(bad_name, loaded.file, loaded.table)) << bytes;
        EXPECT_EQ(loaded.table.notation, "CHAR");
        EXPECT_EQ(loaded.table.pair_count, 1u);
        EXPECT_EQ(loaded.table.pairs.size(), 1u);
        EXPECT_EQ(loaded.table.pairs[0].char_from, "a");
        EXPECT_FALSE(loaded.file.is_open());
    }
    const std::string bad_name = dir.write("bad.glk", "CHAR \r\n");
    try {
        load_table_file(bad_name, loaded.file, loaded.table);
        FAIL();
    } catch (const TableFileError& error) {
        EXPECT_EQ(error.reason(), TableFileError::Reason::NotAKeyword);
    }
    // A side that is no list of codes: its row, its side and the code.
    for (const auto& [bytes, row, to_side, code] :
         {std::tuple{"HEXA\r\n- 41\r\n+ 42\r\n- 4 1\r\n+ 00\r\n", 2, false, "4 "},
          std::tuple{"DECI\r\n- 065\r\n+ 0x6\r\n", 1, true, "0x6"}}) {
        try {
            load_table_file(dir.write("bad.glk", bytes), loaded.file, loaded.table);
            ADD_FAILURE() << bytes;
        } catch (const TableFileError& error) {
            EXPECT_EQ(error.reason(), TableFileError::Reason::BadCode);
            EXPECT_EQ(error.row(), static_cast<std::size_t>(row));
            EXPECT_EQ(error.to_side(), to_side);
            EXPECT_EQ(error.code(), code);
        }
    }
}

TEST(TableFile, RecordsBeyondTheFileKeepTheirTexts) {
    TempDir dir;
    Loaded loaded;
    load(loaded, dir.write("three.glk", "CHAR\r\n- a\r\n+ 1\r\n- b\r\n+ 2\r\n- c\r\n+ 3\r\n"));
    load(loaded, dir.write("one.glk", "CHAR\r\n- z\r\n+ 9\r\n"));
    EXPECT_EQ(loaded.table.pair_count, 1u);
    EXPECT_EQ(loaded.rows, (Rows{{"z", "9"}}));
    EXPECT_EQ(loaded.table.pairs[2].char_from, "c");
}

// Random tables with any bytes on either side, empty sides and empty tables included.
TEST(TableFile, AnyTableSavedInACodeNotationIsRecalledExactly) {
    TempDir dir;
    std::mt19937 random(31);  // fixed so that a failure can be replayed
    auto side = [&] {
        std::string bytes(random() % 3 == 0 ? 0 : random() % 40, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random() % 256);
        }
        return bytes;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::pair<std::string, std::string>> pairs(random() % 12);
        for (auto& [from, to] : pairs) {
            from = side();
            to = side();
        }
        for (const char* notation : {"HEXA", "DECI"}) {
            Rows rows;
            for (const auto& [from, to] : pairs) {
                rows.emplace_back(encode_side(from, notation), encode_side(to, notation));
            }
            TextLineFile file;
            save_table_file(file, dir.file("t.glk"), notation, rows);
            Loaded back;
            load(back, dir.file("t.glk"));
            ASSERT_EQ(back.table.notation, notation);
            ASSERT_EQ(back.rows, rows);
            ASSERT_EQ(back.table.pairs.size(), pairs.size());
            for (std::size_t k = 0; k < pairs.size(); ++k) {
                ASSERT_EQ(back.table.pairs[k].char_from, pairs[k].first) << notation << k;
                ASSERT_EQ(back.table.pairs[k].char_to, pairs[k].second) << notation << k;
            }
        }
    }
}

}  // namespace
}  // namespace glossek
