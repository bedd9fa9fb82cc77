// SPDX-License-Identifier: MIT
#include "table/table_editor.h"

#include <gtest/gtest.h>

namespace glossek {
namespace {

struct Editor : ::testing::Test {
    ConversionTable table;
    TableEditor editor{table};

    void type(int row, int column, const std::string& keys) {
        for (char key : keys) {
            editor.key_press(row, column, static_cast<unsigned char>(key));
        }
    }
};

TEST_F(Editor, StartsWithOneEmptyRowInCharacters) {
    EXPECT_EQ(table.notation, "CHAR");
    EXPECT_EQ(editor.row_count(), 1);
    EXPECT_EQ(table.pair_count, 1u);
    EXPECT_EQ(editor.cell(1, 0), "");
}

TEST_F(Editor, TypingInCharactersIncludingControlCharacters) {
    type(1, 0, "ab\x01");
    EXPECT_EQ(editor.cell(1, 0), "ab\x01");
    EXPECT_EQ(table.pairs[0].char_from, "ab\x01");
    EXPECT_TRUE(editor.key_press(1, 0, kEnter));  // asks for the input box
    editor.enter_text(1, 1, "xyz");
    EXPECT_EQ(table.pairs[0].char_to, "xyz");
}

TEST_F(Editor, BackspaceEmptiesACellLeftWithOneCharacter) {
    type(1, 0, "ab");
    editor.key_press(1, 0, kBackspace);
    EXPECT_EQ(editor.cell(1, 0), "");
    type(1, 0, "abc");
    editor.key_press(1, 0, kBackspace);
    EXPECT_EQ(editor.cell(1, 0), "ab");
    editor.key_press(1, 1, kBackspace);
    EXPECT_EQ(editor.cell(1, 1), "");
}

TEST_F(Editor, HexadecimalDecodesAsItGrows) {
    ASSERT_TRUE(editor.switch_to("HEXA"));
    editor.key_press(1, 0, '4');
    EXPECT_EQ(table.pairs[0].char_from, "\x04");
    editor.key_press(1, 0, '1');
    EXPECT_EQ(table.pairs[0].char_from, "A");
    type(1, 0, " e9");
    EXPECT_EQ(editor.cell(1, 0), "41 E9");
    EXPECT_EQ(table.pairs[0].char_from, "A\xE9");
    EXPECT_EQ(table.pairs[0].hexa_from, "41 E9");
    EXPECT_FALSE(editor.key_press(1, 0, kEnter));
    EXPECT_EQ(editor.cell(1, 0), "41 E9");
}

// What is typed stays as typed; a cell that makes no list of codes from 0 to 255 says why
// and leaves the pair's characters as they were, until it is mended.
TEST_F(Editor, CodesTypedAreKeptAndACellAtFaultSaysWhy) {
    ASSERT_TRUE(editor.switch_to("HEXA"));
    type(1, 0, "zz g 4\x02");
    EXPECT_EQ(editor.cell(1, 0), "zz g 4");  // control characters aside
    EXPECT_EQ(editor.cell_fault(1, 0).fault, CodeFault::NotCodes);
    EXPECT_EQ(editor.cell_fault(1, 0).group, "zz");
    EXPECT_EQ(table.pairs[0].char_from, "");
    EXPECT_THROW(editor.switch_to("CHAR"), CodeTextError);
    EXPECT_EQ(table.notation, "HEXA");
}

TEST_F(Editor, DecimalCellsAtFaultKeepTheOldCharacters) {
    ASSERT_TRUE(editor.switch_to("DECI"));
    type(1, 0, "065 066");
    EXPECT_EQ(table.pairs[0].char_from, "AB");
    type(1, 1, "65 6");
    EXPECT_EQ(editor.cell(1, 1), "65 6");
    EXPECT_EQ(table.pairs[0].deci_to, "65 6");
    EXPECT_EQ(table.pairs[0].char_to, "A");  // from "65", before the short group
    EXPECT_EQ(editor.cell_fault(1, 1).group, "65 ");
    editor.key_press(1, 1, kBackspace);
    editor.key_press(1, 1, kBackspace);
    EXPECT_EQ(editor.cell_fault(1, 1).fault, CodeFault::None);

    editor.enter_text(1, 1, "101 999");
    EXPECT_EQ(editor.cell_fault(1, 1).fault, CodeFault::OutOfRange);
    EXPECT_EQ(table.pairs[0].char_to, "A");
    try {
        editor.switch_to("CHAR");
        ADD_FAILURE() << "999 switched to characters";
    } catch (const CodeTextError& error) {
        EXPECT_EQ(error.range_group(), "999");
    }
    EXPECT_EQ(table.notation, "DECI");
    EXPECT_EQ(editor.cell(1, 0), "AB");  // the cells before the fault are converted
}

TEST_F(Editor, RowsAndRecordsMoveTogether) {
    type(1, 0, "a");
    editor.add();
    type(2, 0, "b");
    editor.add();
    type(3, 0, "c");
    EXPECT_EQ(table.pair_count, 3u);

    editor.insert(1);
    EXPECT_EQ(editor.cell(1, 0), "");
    EXPECT_EQ(editor.cell(2, 0), "a");
    EXPECT_EQ(editor.cell(4, 0), "c");
    EXPECT_EQ(table.pairs[1].char_from, "a");
    EXPECT_EQ(table.pairs[0].char_from, "");
    EXPECT_EQ(table.pair_count, 4u);

    editor.remove(3);
    EXPECT_EQ(editor.cell(3, 0), "c");
    EXPECT_EQ(table.pairs[2].char_from, "c");
    EXPECT_EQ(table.pair_count, 3u);

    // A notation switch after the moves shows what the rows showed.
    ASSERT_TRUE(editor.switch_to("HEXA"));
    EXPECT_EQ(editor.cell(2, 0), "61");
    EXPECT_EQ(editor.cell(3, 0), "63");

    editor.remove(1);
    editor.remove(1);
    editor.remove(1);  // the last row stays
    EXPECT_EQ(editor.row_count(), 1);
    EXPECT_EQ(table.pair_count, 1u);
}

TEST_F(Editor, AddAppendsAnEmptyPairEvenWhereAnOldRecordWas) {
    type(1, 0, "a");
    editor.add();
    type(2, 0, "old");
    editor.remove(2);
    editor.add();
    EXPECT_EQ(editor.cell(2, 0), "");
    EXPECT_EQ(table.pairs[1].char_from, "");
}

TEST_F(Editor, SwitchingThereAndBackGivesEveryRowBack) {
    type(1, 0, "\xE9t\xE9");
    type(1, 1, std::string("\x00\x1A", 2));
    editor.add();
    type(2, 1, "x y");
    for (const char* codes : {"HEXA", "DECI"}) {
        ASSERT_TRUE(editor.switch_to(codes));
        ASSERT_TRUE(editor.switch_to("CHAR"));
        EXPECT_EQ(editor.cell(1, 0), "\xE9t\xE9");
        EXPECT_EQ(editor.cell(1, 1), std::string("\x00\x1A", 2));
        EXPECT_EQ(editor.cell(2, 1), "x y");
    }
    ASSERT_TRUE(editor.switch_to("DECI"));
    EXPECT_EQ(editor.cell(1, 0), "233 116 233");
}

TEST_F(Editor, CodeNotationsDoNotSwitchIntoEachOther) {
    ASSERT_TRUE(editor.switch_to("HEXA"));
    EXPECT_FALSE(editor.switch_to("DECI"));
    EXPECT_FALSE(editor.switch_to("HEXA"));
    EXPECT_EQ(table.notation, "HEXA");
}

TEST_F(Editor, FailedSwitchBackLeavesTheLaterRowsInCodes) {
    ASSERT_TRUE(editor.switch_to("HEXA"));
    editor.enter_text(1, 0, "41");
    editor.add();
    editor.enter_text(2, 0, "4G");
    editor.add();
    editor.enter_text(3, 0, "43");

    EXPECT_THROW(editor.switch_to("CHAR"), CodeTextError);
    EXPECT_EQ(table.notation, "HEXA");
    EXPECT_EQ(editor.cell(1, 0), "A");
    EXPECT_EQ(editor.cell(2, 0), "4G");
    EXPECT_EQ(editor.cell(3, 0), "43");

    editor.enter_text(2, 0, "42");
    ASSERT_TRUE(editor.switch_to("CHAR"));
    EXPECT_EQ(editor.cell(1, 0), "A");
    EXPECT_EQ(editor.cell(2, 0), "B");
    EXPECT_EQ(editor.cell(3, 0), "C");
}

TEST_F(Editor, LoadedRowsSetTheCountAndAnEmptyTableShowsOneRow) {
    editor.show_loaded({{"a", "b"}, {"c", "d"}});
    EXPECT_EQ(editor.row_count(), 2);
    EXPECT_EQ(table.pair_count, 2u);
    editor.show_loaded({});
    EXPECT_EQ(editor.row_count(), 1);
    EXPECT_EQ(editor.cell(1, 0), "");
    EXPECT_EQ(table.pairs[0].char_from, "");
}

}  // namespace
}  // namespace glossek
