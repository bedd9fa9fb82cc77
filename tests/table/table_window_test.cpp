#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "support/window_fixture.h"

namespace glossek {
namespace {

using test::WindowFixture;

struct TableWindow : WindowFixture {
    Tfrm_tcv& tcv() const { return *frame->frm_tcv; }
    QString cell(int row, int column) const {
        auto* item = tcv().grd_tcv->item(row - 1, column);
        return item == nullptr ? QString() : item->text();
    }
    // Key events as the keyboard sends them, each with the character it types.
    void send(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(tcv().grd_tcv, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(tcv().grd_tcv, &release);
    }
    void type_at(int row, int column, const QString& keys) {
        tcv().grd_tcv->setCurrentCell(row - 1, column);
        for (QChar ch : keys) {
            send(Qt::Key_unknown, Qt::NoModifier, QString(ch));
        }
    }
    void key_at(int row, int column, Qt::Key key,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        tcv().grd_tcv->setCurrentCell(row - 1, column);
        QTest::keyClick(tcv().grd_tcv, key, modifiers);
    }
};

TEST_F(TableWindow, StartsMinimisedWithOneEmptyRowInCharacters) {
    start();
    EXPECT_TRUE(minimised(&tcv()));
    EXPECT_TRUE(tcv().opt_char->isChecked());
    EXPECT_EQ(tcv().grd_tcv->rowCount(), 1);
    EXPECT_EQ(tcv().grd_tcv->horizontalHeaderItem(0)->text(), "To be converted");
    EXPECT_EQ(tcv().grd_tcv->horizontalHeaderItem(1)->text(), "Replaced by");
    EXPECT_EQ(state.job.Notation, "CHAR");
}

TEST_F(TableWindow, TypingInEachNotation) {
    start();
    type_at(1, 0, QString::fromUtf8("é-a"));
    send(Qt::Key_B, Qt::ControlModifier, QStringLiteral("\x02"));
    EXPECT_EQ(state.table.pairs[0].char_from, "\xE9-a\x02");
    EXPECT_EQ(cell(1, 0), QString::fromUtf8("é-a\u2402"));
    key_at(1, 0, Qt::Key_Backspace);
    EXPECT_EQ(cell(1, 0), QString::fromUtf8("é-a"));

    tcv().opt_hexa->setChecked(true);
    EXPECT_EQ(cell(1, 0), "E9 2D 61");
    type_at(1, 1, "4");
    EXPECT_EQ(state.table.pairs[0].char_to, "\x04");
    type_at(1, 1, "1 fgZ");
    EXPECT_EQ(cell(1, 1), "41 F");
    EXPECT_EQ(state.table.pairs[0].char_to, "A\x0F");

    tcv().opt_char->setChecked(true);
    tcv().opt_deci->setChecked(true);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    key_at(1, 1, Qt::Key_Backspace);
    EXPECT_EQ(cell(1, 1), "");
    type_at(1, 1, "0aF65 066");
    EXPECT_EQ(cell(1, 1), "065 066");
    EXPECT_EQ(state.table.pairs[0].char_to, "AB");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TableWindow, DecimalShortGroupFailsAtTheBlankAndAfter) {
    start();
    tcv().opt_deci->setChecked(true);
    type_at(1, 0, "65 6");
    EXPECT_EQ(dialogs.texts("error"),
              (std::vector<QString>{"'65 ' is not a valid integer value.",
                                    "'65 ' is not a valid integer value."}));
    EXPECT_EQ(cell(1, 0), "65 6");
    EXPECT_EQ(state.table.pairs[0].char_from, "A");
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

    tcv().opt_hexa->setChecked(true);
    key_at(1, 1, Qt::Key_Return);
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(TableWindow, ButtonsMoveRowsWithTheirPairs) {
    start();
    type_at(1, 0, "a");
    tcv().cmd_add->click();
    type_at(2, 0, "b");
    tcv().grd_tcv->setCurrentCell(0, 0);
    tcv().cmd_ins->click();
    EXPECT_EQ(tcv().grd_tcv->rowCount(), 3);
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(cell(2, 0), "a");
    EXPECT_EQ(cell(3, 0), "b");
    EXPECT_EQ(tcv().grd_tcv->currentRow(), 0);
    EXPECT_EQ(state.job.PairCount, 3);

    tcv().grd_tcv->setCurrentCell(1, 0);
    tcv().cmd_del->click();
    EXPECT_EQ(cell(2, 0), "b");
    tcv().opt_hexa->setChecked(true);
    EXPECT_EQ(cell(2, 0), "62");
}

TEST_F(TableWindow, RefusedSwitchBetweenCodesSaysNothing) {
    start();
    tcv().opt_hexa->setChecked(true);
    tcv().opt_deci->setChecked(true);
    EXPECT_TRUE(tcv().opt_hexa->isChecked());
    EXPECT_EQ(state.job.Notation, "HEXA");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(TableWindow, FailedSwitchBackToCharactersKeepsTheCodes) {
    start();
    tcv().opt_hexa->setChecked(true);
    type_at(1, 0, "41");
    tcv().cmd_add->click();
    type_at(2, 0, "4");
    type_at(2, 0, " ");  // "4 " does not read
    tcv().opt_char->setChecked(true);
    EXPECT_EQ(cell(1, 0), "A");
    EXPECT_EQ(cell(2, 0), "4 ");
    EXPECT_TRUE(tcv().opt_char->isChecked());
    EXPECT_EQ(state.job.Notation, "HEXA");
    tcv().opt_hexa->setChecked(true);
    EXPECT_EQ(state.job.Notation, "HEXA");
}

TEST_F(TableWindow, SaveThenRecallGivesTheSameRowsInEachNotation) {
    start();
    type_at(1, 0, "ab");
    type_at(1, 1, "c");
    tcv().cmd_add->click();
    for (const char* notation : {"CHAR", "HEXA", "DECI"}) {
        if (std::string(notation) != "CHAR") {
            tcv().opt_char->setChecked(true);
        }
        (std::string(notation) == "HEXA"   ? tcv().opt_hexa
         : std::string(notation) == "DECI" ? tcv().opt_deci
                                           : tcv().opt_char)
            ->setChecked(true);
        const QString file = name(std::string(notation) + ".glk");
        const QString before0 = cell(1, 0);
        dialogs.files.push_back(file);
        frame->Savefileas1->trigger();
        EXPECT_EQ(dialogs.shown.back().kind, "save");
        EXPECT_EQ(dialogs.shown.back().text, "GLK conversion (*. glk)|*.glk|glk");

        tcv().cmd_add->click();  // something to be undone by the recall
        dialogs.files.push_back(file);
        frame->Recallfile1->trigger();
        EXPECT_EQ(dialogs.shown.back().text, "Glossek conversion (*.glk) |*.GLK");
        EXPECT_EQ(tcv().grd_tcv->rowCount(), 2) << notation;
        EXPECT_EQ(cell(1, 0), before0);
        EXPECT_EQ(state.job.Notation, notation);
        EXPECT_EQ(state.table.pairs[0].char_from, "ab");
        EXPECT_EQ(tcv().txt_tcv->text(), file);
        EXPECT_TRUE(gen().opt_xtf->isChecked());
        EXPECT_TRUE(maximised(&tcv()));
    }
    EXPECT_EQ(dialogs.texts("error"), std::vector<QString>{});
}

TEST_F(TableWindow, RecallOfAShorterOrRefusedFile) {
    start();
    const QString three = QString::fromStdString(
        dir.write("three.glk", "CHAR\r\n- a\r\n+ 1\r\n- b\r\n+ 2\r\n- c\r\n+ 3\r\n"));
    const QString one = QString::fromStdString(dir.write("one.glk", "HEXA\r\n- 7A\r\n+ 39\r\n"));
    dialogs.files.push_back(three);
    frame->Recallfile1->trigger();
    EXPECT_EQ(tcv().grd_tcv->rowCount(), 3);
    dialogs.files.push_back(one);
    frame->Recallfile1->trigger();
    EXPECT_EQ(tcv().grd_tcv->rowCount(), 1);
    EXPECT_TRUE(tcv().opt_hexa->isChecked());
    EXPECT_EQ(state.job.PairCount, 1);

    dialogs.files.push_back(QString::fromStdString(dir.write("bad.glk", "char\r\n- x\r\n+ y\r\n")));
    frame->Recallfile1->trigger();
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("CHAR, HEXA or DECI"));
    EXPECT_EQ(cell(1, 0), "7A");
    EXPECT_EQ(state.job.TableName, one.toStdString());

    dialogs.files.push_back(QString::fromStdString(dir.write("alone.glk", "DECI\r\n")));
    frame->Recallfile1->trigger();
    EXPECT_EQ(tcv().grd_tcv->rowCount(), 1);
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_TRUE(tcv().opt_deci->isChecked());
}

TEST_F(TableWindow, CharTableWithALineEndByteIsNotSaved) {
    start();
    tcv().opt_hexa->setChecked(true);
    type_at(1, 0, "0D");
    tcv().opt_char->setChecked(true);
    dialogs.files.push_back(name("t.glk"));
    frame->Savefileas1->trigger();
    ASSERT_EQ(dialogs.texts("error").size(), 1u);
    EXPECT_TRUE(dialogs.texts("error")[0].contains("hexadecimal"));
    EXPECT_FALSE(file_exists(dir.file("t.glk")));
}

TEST_F(TableWindow, HelpButtonAsksForTheTableTopicOfTheLanguage) {
    start();
    tcv().cmd_hlp->click();
    EXPECT_EQ(dialogs.texts("help"), std::vector<QString>{"_TabUS"});
}

TEST_F(TableWindow, TypedPairIsAppliedByGoAtOnce) {
    start();
    type_at(1, 0, "cat");
    type_at(1, 1, "dog");
    dir.write("in.txt", "a cat\r\n");
    gen().txt_inp->setText(name("in.txt"));
    gen().txt_out->setText(name("out.txt"));
    gen().opt_xtf->setChecked(true);
    frame->mnu_fgo->trigger();
    EXPECT_EQ(dir.read("out.txt"), "a dog\r\n");
}

}  // namespace
}  // namespace glossek
