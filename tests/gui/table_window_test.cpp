// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "files/file_names.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

struct TableWindow : test::WindowFixture {
    QString cell(int row, int column) const {
        auto* item = grid()->item(row - 1, column);
        return item == nullptr ? QString() : item->text();
    }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    // Key events as the keyboard sends them, each with the character it types.
    void send(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(grid(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(grid(), &release);
    }
    void type_at(int row, int column, const QString& keys) {
        grid()->setCurrentCell(row - 1, column);
        for (QChar ch : keys) {
            send(Qt::Key_unknown, Qt::NoModifier, QString(ch));
        }
    }
    void key_at(int row, int column, Qt::Key key,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        grid()->setCurrentCell(row - 1, column);
        QTest::keyClick(grid(), key, modifiers);
    }
};

TEST_F(TableWindow, StartsMinimisedWithOneEmptyRowInCharacters) {
    start();
    EXPECT_TRUE(minimised("frm_tcv"));
    EXPECT_TRUE(option("opt_char")->isChecked());
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), "To be converted");
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), "Replaced by");
    EXPECT_EQ(state.table.notation, "CHAR");
}

TEST_F(TableWindow, TypingInEachNotation) {
    start();
    type_at(1, 0, QString::fromUtf8("é-a"));
    send(Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    EXPECT_EQ(state.table.pairs[0].char_from, "\xE9-a\x02");
    EXPECT_EQ(cell(1, 0), QString::fromUtf8("é-a\u2402"));
    key_at(1, 0, Qt::Key_Backspace);
    EXPECT_EQ(cell(1, 0), QString::fromUtf8("é-a"));

    option("opt_hexa")->setChecked(true);
    EXPECT_EQ(cell(1, 0), "E9 2D 61");
    type_at(1, 1, "4");
    EXPECT_EQ(state.table.pairs[0].char_to, "\x04");
    type_at(1, 1, "1 f");
    EXPECT_EQ(cell(1, 1), "41 F");
    EXPECT_EQ(state.table.pairs[0].char_to, "A\x0F");

    option("opt_char")->setChecked(true);
    option("opt_deci")->setChecked(true);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    EXPECT_EQ(cell(1, 1), "");
    type_at(1, 1, "065 066");
    EXPECT_EQ(cell(1, 1), "065 066");
    EXPECT_EQ(state.table.pairs[0].char_to, "AB");
    EXPECT_TRUE(dialogs.shown.empty());
}

// What is typed in codes stays as typed; a cell that makes no list of codes from 0 to 255
// is marked, says why, and is not saved.
TEST_F(TableWindow, CodesTypedAreKeptAndACellAtFaultIsMarkedAndNotSaved) {
    start();
    option("opt_deci")->setChecked(true);
    type_at(1, 0, "101 999");
    EXPECT_EQ(cell(1, 0), "101 999");
    EXPECT_EQ(state.table.pairs[0].char_from, "ec");  // "101 99", the last that made codes
    EXPECT_FALSE(grid()->item(0, 0)->data(Qt::DecorationRole).isNull());
    EXPECT_EQ(grid()->item(0, 0)->toolTip(), "999 is past 255, the largest code");
    type_at(1, 1, "65 6");
    EXPECT_TRUE(grid()->item(0, 1)->toolTip().startsWith("'65 ' is not a code in decimal"));
    EXPECT_TRUE(dialogs.shown.empty());  // typing is never interrupted

    dialogs.files.push_back(name("t.glk"));
    trigger("Savefileas1");
    EXPECT_EQ(dialogs.texts("error"),
              std::vector<QString>{name("t.glk") +
                                   "\n\rRow 1, column 1 holds a side that is not a list of codes "
                                   "from 0 to 255: the file would not read back as it is, so it "
                                   "was not saved."});
    EXPECT_FALSE(file_exists(dir.file("t.glk")));

    // Mended, the mark goes; the other cell says why in French too.
    for (int i = 0; i < 3; ++i) {
        key_at(1, 0, Qt::Key_Backspace);
    }
    EXPECT_EQ(cell(1, 0), "101 ");
    EXPECT_TRUE(grid()->item(0, 0)->data(Qt::DecorationRole).isNull());
    EXPECT_TRUE(grid()->item(0, 0)->toolTip().isEmpty());
    trigger("mnu_FR");
    EXPECT_EQ(grid()->item(0, 1)->toolTip(),
              QString::fromUtf8("'65 ' n'est pas un code décimal : les codes ont trois chiffres, "
                                "de 000 à 255, séparés par un blanc"));
}

TEST_F(TableWindow, EnterOpensTheInputBoxInCharacters) {
    start();
    type_at(1, 1, "old");
    dialogs.inputs.push_back(QString::fromUtf8("new é"));
    key_at(1, 1, Qt::Key_Return);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Enter...");
    EXPECT_EQ(dialogs.shown[0].text, "Row: 1 Column: 2|old|255");
    EXPECT_EQ(state.table.pairs[0].char_to, "new \xE9");

    dialogs.inputs.push_back(std::nullopt);
    key_at(1, 1, Qt::Key_Return);
    EXPECT_EQ(cell(1, 1), QString::fromUtf8("new é"));

    option("opt_hexa")->setChecked(true);
    key_at(1, 1, Qt::Key_Return);
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

// UTF-8 as the Windows page: a character is the bytes of its sequence.
struct Utf8TableWindow : TableWindow {
    Utf8TableWindow() { ::setenv("GLOSSEK_ANSICP", "65001", 1); }
};

TEST_F(Utf8TableWindow, CharactersAreTypedAndShownAsUtf8AndOtherBytesStayExact) {
    start();
    ASSERT_TRUE(state.pages.utf8());
    type_at(1, 0, QString::fromUtf8("é─x"));
    EXPECT_EQ(state.table.pairs[0].char_from, "\xC3\xA9\xE2\x94\x80x");
    EXPECT_EQ(cell(1, 0), QString::fromUtf8("é─x"));
    // Backspace takes back a whole character.
    key_at(1, 0, Qt::Key_Backspace);
    key_at(1, 0, Qt::Key_Backspace);
    EXPECT_EQ(state.table.pairs[0].char_from, "\xC3\xA9");
    option("opt_hexa")->setChecked(true);
    EXPECT_EQ(cell(1, 0), "C3 A9");

    // Bytes that are no UTF-8, typed in codes: U+FFFD in characters, exact in codes.
    type_at(1, 1, "FF 41 C3");
    option("opt_char")->setChecked(true);
    EXPECT_EQ(cell(1, 1), QString::fromUtf8("\uFFFDA\uFFFD"));
    EXPECT_EQ(state.table.pairs[0].char_to,
              "\xFF"
              "A\xC3");
    option("opt_deci")->setChecked(true);
    EXPECT_EQ(cell(1, 1), "255 065 195");
    option("opt_char")->setChecked(true);
    option("opt_hexa")->setChecked(true);
    EXPECT_EQ(cell(1, 1), "FF 41 C3");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Utf8TableWindow, TheInputBoxGivesBackControlBytesAndTakesAnyCharacter) {
    start();
    type_at(1, 1, QString::fromUtf8("é"));
    send(Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    EXPECT_EQ(cell(1, 1), QString::fromUtf8("é\u2402"));
    dialogs.inputs.push_back(QString::fromUtf8("é\u2402 ü 😀"));
    key_at(1, 1, Qt::Key_Return);
    EXPECT_EQ(dialogs.shown.back().text, QString::fromUtf8("Row: 1 Column: 2|é\u2402|255"));
    EXPECT_EQ(state.table.pairs[0].char_to, "\xC3\xA9\x02 \xC3\xBC \xF0\x9F\x98\x80");
}

TEST_F(TableWindow, ButtonsMoveRowsWithTheirPairs) {
    start();
    type_at(1, 0, "a");
    button("cmd_add")->click();
    type_at(2, 0, "b");
    grid()->setCurrentCell(0, 0);
    button("cmd_ins")->click();
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(cell(2, 0), "a");
    EXPECT_EQ(cell(3, 0), "b");
    EXPECT_EQ(grid()->currentRow(), 0);
    EXPECT_EQ(state.table.pair_count, 3u);

    grid()->setCurrentCell(1, 0);
    button("cmd_del")->click();
    EXPECT_EQ(cell(2, 0), "b");
    option("opt_hexa")->setChecked(true);
    EXPECT_EQ(cell(2, 0), "62");
}

TEST_F(TableWindow, RefusedSwitchBetweenCodesSaysWhy) {
    start();
    option("opt_hexa")->setChecked(true);
    option("opt_deci")->setChecked(true);
    EXPECT_TRUE(option("opt_hexa")->isChecked());
    EXPECT_EQ(state.table.notation, "HEXA");
    EXPECT_EQ(dialogs.texts("message"),
              std::vector<QString>{"Codes in hexadecimal and codes in decimal do not convert into "
                                   "each other: switch to Characters strings first."});
}

// The arrow keys in the notation group switch the notation as a click does, round the
// group, the keyboard staying on the notation in force.
TEST_F(TableWindow, ArrowKeysInTheNotationGroupSwitchTheNotation) {
    start();
    trigger("Otherconversiondetails1");
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    type_at(1, 0, "A");
    option("opt_char")->setFocus();
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    press(Qt::Key_Down);
    EXPECT_EQ(state.table.notation, "HEXA");
    EXPECT_EQ(cell(1, 0), "41");
    EXPECT_EQ(QApplication::focusWidget(), option("opt_hexa"));
    press(Qt::Key_Down);  // to decimal: refused, said, the keyboard stays
    EXPECT_EQ(state.table.notation, "HEXA");
    EXPECT_TRUE(option("opt_hexa")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), option("opt_hexa"));
    EXPECT_EQ(dialogs.texts("message").size(), 1u);
    press(Qt::Key_Up);
    EXPECT_EQ(state.table.notation, "CHAR");
    press(Qt::Key_Up);  // round the group, to decimal
    EXPECT_EQ(state.table.notation, "DECI");
    EXPECT_EQ(cell(1, 0), "065");
    EXPECT_EQ(QApplication::focusWidget(), option("opt_deci"));
    press(Qt::Key_Right);
    EXPECT_EQ(state.table.notation, "CHAR");
    EXPECT_EQ(QApplication::focusWidget(), option("opt_char"));
}

TEST_F(TableWindow, FailedSwitchBackToCharactersKeepsTheCodes) {
    start();
    option("opt_hexa")->setChecked(true);
    type_at(1, 0, "41");
    button("cmd_add")->click();
    type_at(2, 0, "4");
    type_at(2, 0, " ");  // "4 " does not read
    option("opt_char")->setChecked(true);
    EXPECT_EQ(cell(1, 0), "A");
    EXPECT_EQ(cell(2, 0), "4 ");
    EXPECT_TRUE(option("opt_char")->isChecked());
    EXPECT_EQ(state.table.notation, "HEXA");
    option("opt_hexa")->setChecked(true);
    EXPECT_EQ(state.table.notation, "HEXA");
}

TEST_F(TableWindow, SaveThenRecallGivesTheSameRowsInEachNotation) {
    start();
    type_at(1, 0, "ab");
    type_at(1, 1, "c");
    button("cmd_add")->click();
    for (const char* notation : {"CHAR", "HEXA", "DECI"}) {
        if (std::string(notation) != "CHAR") {
            option("opt_char")->setChecked(true);
        }
        (std::string(notation) == "HEXA"   ? option("opt_hexa")
         : std::string(notation) == "DECI" ? option("opt_deci")
                                           : option("opt_char"))
            ->setChecked(true);
        const QString file = name(std::string(notation) + ".glk");
        const QString before0 = cell(1, 0);
        dialogs.files.push_back(file);
        trigger("Savefileas1");
        EXPECT_EQ(dialogs.shown.back().kind, "save");
        EXPECT_EQ(dialogs.shown.back().text, "Conversion tables|*.glk|glk");

        button("cmd_add")->click();  // something to be undone by the recall
        dialogs.files.push_back(file);
        trigger("Recallfile1");
        EXPECT_EQ(dialogs.shown.back().text, "Conversion tables|*.glk");
        EXPECT_EQ(grid()->rowCount(), 2) << notation;
        EXPECT_EQ(cell(1, 0), before0);
        EXPECT_EQ(state.table.notation, notation);
        EXPECT_EQ(state.table.pairs[0].char_from, "ab");
        EXPECT_EQ(box("txt_tcv")->text(), file);
        EXPECT_TRUE(option("opt_xtf")->isChecked());
        EXPECT_TRUE(maximised("frm_tcv"));
    }
    EXPECT_EQ(dialogs.texts("error"), std::vector<QString>{});
}

TEST_F(TableWindow, RecallOfAShorterOrRefusedFile) {
    start();
    const QString three = QString::fromStdString(
        dir.write("three.glk", "CHAR\r\n- a\r\n+ 1\r\n- b\r\n+ 2\r\n- c\r\n+ 3\r\n"));
    const QString one = QString::fromStdString(dir.write("one.glk", "HEXA\r\n- 7A\r\n+ 39\r\n"));
    dialogs.files.push_back(three);
    trigger("Recallfile1");
    EXPECT_EQ(grid()->rowCount(), 3);
    dialogs.files.push_back(one);
    trigger("Recallfile1");
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_TRUE(option("opt_hexa")->isChecked());
    EXPECT_EQ(state.table.pair_count, 1u);

    dialogs.files.push_back(QString::fromStdString(dir.write("bad.glk", "char\r\n- x\r\n+ y\r\n")));
    trigger("Recallfile1");
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("CHAR, HEXA or DECI"));
    EXPECT_EQ(cell(1, 0), "7A");
    EXPECT_EQ(state.job.table_name, one.toStdString());

    dialogs.files.push_back(QString::fromStdString(dir.write("alone.glk", "DECI\r\n")));
    trigger("Recallfile1");
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_TRUE(option("opt_deci")->isChecked());
}

// The name box names the table in use: given on the command line, recalled, or saved, which
// Go then protects as it protects a recalled one.
TEST_F(TableWindow, NameBoxNamesTheTableInUse) {
    dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n");
    start({"in.txt", "out.txt", "At.glk"});
    EXPECT_EQ(box("txt_tcv")->text(), name("t.glk"));
    dialogs.files.push_back(name("saved.glk"));
    trigger("Savefileas1");
    EXPECT_EQ(box("txt_tcv")->text(), name("saved.glk"));
    go("in.txt", "saved.glk");
    EXPECT_EQ(dialogs.texts("message"),
              std::vector<QString>{"Output file and conversion file must be different"});
    EXPECT_EQ(dir.read("saved.glk"), "CHAR\r\n- a\r\n+ b\r\n");
}

TEST_F(TableWindow, CharTableWithALineEndByteIsNotSaved) {
    start();
    option("opt_hexa")->setChecked(true);
    type_at(1, 0, "0D");
    option("opt_char")->setChecked(true);
    dialogs.files.push_back(name("t.glk"));
    trigger("Savefileas1");
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("hexadecimal"));
    EXPECT_FALSE(file_exists(dir.file("t.glk")));
}

TEST_F(TableWindow, HelpButtonAsksForTheTableTopicOfTheLanguage) {
    start();
    button("cmd_hlp")->click();
    EXPECT_EQ(dialogs.texts("help"), std::vector<QString>{"_TabUS"});
}

TEST_F(TableWindow, TypedPairIsAppliedByGoAtOnce) {
    start();
    type_at(1, 0, "cat");
    type_at(1, 1, "dog");
    dir.write("in.txt", "a cat\r\n");
    box("txt_inp")->setText(name("in.txt"));
    box("txt_out")->setText(name("out.txt"));
    option("opt_xtf")->setChecked(true);
    trigger("mnu_fgo");
    EXPECT_EQ(dir.read("out.txt"), "a dog\r\n");
}

TEST_F(TableWindow, KeysWithAltAreNeverCharactersOfACell) {
    start();
    trigger("Otherconversiondetails1");
    type_at(1, 0, "a");
    for (const auto& [key, text] :
         {std::pair{Qt::Key_U, "u"}, std::pair{Qt::Key_I, "i"}, std::pair{Qt::Key_T, "t"}}) {
        send(key, Qt::AltModifier, QString::fromLatin1(text));
    }
    EXPECT_EQ(cell(1, 0), "a");
    EXPECT_EQ(state.table.pairs[0].char_from, "a");
    // Ctrl letters that are no menu shortcut still type their control character.
    send(Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    EXPECT_EQ(state.table.pairs[0].char_from, "a\x02");
}

TEST_F(TableWindow, ButtonsGiveTheKeyboardBackToTheGrid) {
    start();
    trigger("Otherconversiondetails1");
    for (const char* name : {"cmd_add", "cmd_ins", "cmd_del"}) {
        button(name)->setFocus();
        QTest::mouseClick(button(name), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), grid()) << name;
    }
    EXPECT_EQ(grid()->rowCount(), 2);
}

TEST_F(TableWindow, KeyboardOrderFollowsTheWindowsLayout) {
    start();
    trigger("Otherconversiondetails1");
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    std::vector<QString> order;
    for (int i = 0; i < 7; ++i) {
        order.push_back(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<QString>{"grd_tcv", "cmd_add", "cmd_ins", "cmd_del", "cmd_hlp",
                                           "opt_char", "txt_tcv"}));
}

TEST_F(TableWindow, FocusCueDiffersFromTheCurrentCellsColour) {
    start();
    trigger("Otherconversiondetails1");
    type_at(1, 0, "x");
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    grid()->setFocus();
    QApplication::processEvents();
    const QImage focused = grid()->grab().toImage();
    button("cmd_add")->setFocus();
    QApplication::processEvents();
    const QImage unfocused = grid()->grab().toImage();
    const QPoint edge(0, grid()->height() / 2);
    const QRect current = grid()->visualItemRect(grid()->item(0, 0));
    const QPoint inside = grid()->viewport()->mapTo(grid(), current.bottomRight() - QPoint(3, 3));
    EXPECT_NE(focused.pixel(edge), unfocused.pixel(edge));
    EXPECT_NE(focused.pixel(edge), focused.pixel(inside));
}

TEST_F(TableWindow, LongSideShowsWholeInATooltip) {
    start();
    type_at(1, 0, "short");
    const QString long_side(80, QChar('w'));
    type_at(1, 1, long_side);
    EXPECT_TRUE(grid()->item(0, 0)->toolTip().isEmpty());
    EXPECT_EQ(grid()->item(0, 1)->toolTip(), long_side);
}

TEST_F(TableWindow, GridStretchesAndTheButtonsFollowItsEdge) {
    start();
    trigger("Otherconversiondetails1");
    frame->resize(695, 480);
    QApplication::processEvents();
    const QRect grid_before = grid()->geometry();
    const int gap = button("cmd_add")->x() - grid_before.right();
    EXPECT_EQ(grid_before.topLeft(), QPoint(40, 48));
    frame->resize(1100, 760);
    QApplication::processEvents();
    EXPECT_EQ(grid()->width() - grid_before.width(), 1100 - 695);
    // The grid ends where it does at the design size, 36 pixels above the window's edge.
    EXPECT_EQ(grid()->parentWidget()->height() - (grid()->geometry().bottom() + 1), 36);
    EXPECT_EQ(button("cmd_add")->x() - grid()->geometry().right(), gap);
    EXPECT_EQ(option("opt_char")->x() - button("cmd_add")->x(), 16);
    // Both columns share the room.
    EXPECT_LE(std::abs(grid()->columnWidth(0) - grid()->columnWidth(1)), 1);
}

}  // namespace
}  // namespace glossek
