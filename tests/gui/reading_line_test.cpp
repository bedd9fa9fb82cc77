// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <QLabel>
#include <QPushButton>

#include "gui/window_fixture.h"

namespace glossek {
namespace {

struct ReadingLine : test::WindowFixture {
    bool exists(const std::string& file) const {
        return ::access(dir.file(file).c_str(), F_OK) == 0;
    }
    std::string reads() const { return find<QLabel>("lbl_reads")->text().toStdString(); }
};

// "Le comité a décidé de reporter la réunion." in CP1252, and a Russian sentence in CP866.
const std::string kWindowsText =
    "Le comit\xE9 a d\xE9"
    "cid\xE9 de reporter la r\xE9union.\r\n";
const std::string kRussianDos =
    "\x82\xE7\xA5\xE0\xA0 \xA2\xA5\xE7\xA5\xE0\xAE\xAC \xAC\xEB \xE5\xAE\xA4\xA8\xAB\xA8 "
    "\xA2 \xE2\xA5\xA0\xE2\xE0 \xAD\xA0 \xAD\xAE\xA2\xE3\xEE \xAF\xEC\xA5\xE1\xE3.\r\n";

TEST_F(ReadingLine, GoAsksBeforeConvertingTextThatAlreadyReadsAsItsTarget) {
    start();
    dir.write("letter.txt", kWindowsText);
    dialogs.files.push_back(name("letter.txt"));
    trigger("mnu_fin");
    EXPECT_EQ(reads(), "Reads as Windows text (1252), CR LF line ends, 1 line");
    EXPECT_TRUE(find<QPushButton>("cmd_pages")->isHidden());

    // No, the default, writes nothing; Yes converts. Windows to DOS asks nothing.
    dialogs.shown.clear();
    dialogs.answers.push_back(false);
    go("letter.txt", "out.txt");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text.toStdString(),
              "This file already reads as Windows text (1252). Convert it anyway?");
    EXPECT_FALSE(exists("out.txt"));
    dialogs.answers.push_back(true);
    trigger("mnu_fgo");
    EXPECT_TRUE(exists("out.txt"));

    trigger("mnu_FR");
    EXPECT_EQ(reads(), "Se lit comme du texte Windows (1252), fins de ligne CR LF, 1 ligne");
    dialogs.shown.clear();
    option("opt_dos")->click();
    go("letter.txt", "back.txt");
    EXPECT_EQ(dir.read("back.txt"),
              "Le comit\x82 a d\x82"
              "cid\x82 de reporter la r\x82union.\r\n");
    EXPECT_EQ(dialogs.shown.size(), 1u);  // the end of the conversion only

    // A name typed in the box is read at Go.
    dir.write("binary.dat", std::string(200, '\0'));
    dialogs.shown.clear();
    dialogs.answers.push_back(false);
    go("binary.dat", "out2.txt");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "question");
    EXPECT_FALSE(exists("out2.txt"));
}

TEST_F(ReadingLine, ThePairThatReadsBetterIsPutInForceByItsButton) {
    start();
    dialogs.files.push_back(
        QString::fromStdString(dir.write("russe.txt", kRussianDos + kRussianDos)));
    trigger("mnu_fin");
    EXPECT_EQ(reads(),
              "Reads well neither as DOS 850 nor as Windows 1252, DOS 866 reads better, CR LF line "
              "ends, 2 lines");
    auto* button = find<QPushButton>("cmd_pages");
    ASSERT_FALSE(button->isHidden());
    EXPECT_EQ(button->text(), "&Put DOS 866 - Windows 1251 in force");

    button->click();
    EXPECT_EQ(std::pair(state.pages.oem, state.pages.ansi), std::pair(866, 1251));
    EXPECT_EQ(dir.read("GLK32.CP"), "866 1251\r\n");
    EXPECT_EQ(find<QLabel>("lbl_codepages")->text(), "DOS 866 - Windows 1251");
    EXPECT_EQ(reads(), "Reads as DOS text (866), CR LF line ends, 2 lines");
    EXPECT_TRUE(button->isHidden());

    // A name typed, or an input that cannot be read, empties the line.
    QTest::keyClick(box("txt_inp"), Qt::Key_Backspace);
    EXPECT_EQ(reads(), "");
    dialogs.files.push_back(name("russe.txt"));
    trigger("mnu_fin");
    EXPECT_NE(reads(), "");
    dialogs.files.push_back(name("gone.txt"));
    trigger("mnu_fin");
    EXPECT_EQ(reads(), "");
}

}  // namespace
}  // namespace glossek
