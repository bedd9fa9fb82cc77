// SPDX-License-Identifier: MIT
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>

#include "files/file_names.h"
#include "gui/qt_text.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

// French DOS text, `lines` lines of it, and a line of `boxes` box-drawing characters that
// Windows 1252 has no exact counterpart for.
std::string dos_text(int lines, int boxes = 0) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text +=
            "Le comit\x82 a d\x82"
            "cid\x82 de reporter la r\x82union " +
            std::to_string(i) + ".\r\n";
    }
    return text + std::string(static_cast<std::size_t>(boxes), '\xC4') + "\r\n";
}

struct FolderDialogTest : test::WindowFixture {
    QDialog* dialog() const { return find<QDialog>("frm_folder"); }
    QDialog* report() const { return find<QDialog>("frm_report"); }
    QTableWidget* report_grid() const { return find<QTableWidget>("grd_report"); }
    void click(const char* button) const { find<QAbstractButton>(button)->click(); }
    void type(const char* name_of_box, const QString& text) const {
        box(name_of_box)->clear();
        QTest::keyClicks(box(name_of_box), text);
    }
    void make_folder(const std::string& relative) const {
        ASSERT_EQ(::mkdir(dir.file(relative).c_str(), 0755), 0) << relative;
    }
    // The folders typed in the dialog and Go.
    void go(const std::string& input, const std::string& output) const {
        type("txt_fin", name(input));
        type("txt_fout", name(output));
        click("cmd_fgo");
    }
    QStringList column(int column) const {
        QStringList cells;
        for (int row = 0; row < report_grid()->rowCount(); ++row) {
            cells << report_grid()->item(row, column)->text();
        }
        return cells;
    }
};

TEST_F(FolderDialogTest, OutputIsProposedBesideTheInputUntilTheUserTypesAnother) {
    start();
    trigger("mnu_fdir");
    ASSERT_TRUE(dialog()->isVisible());
    type("txt_fin", "/a/b/docs/");
    EXPECT_EQ(box("txt_fout")->text(), "/a/b/docs.cvt");
    // A folder picked opens where the file dialogs open; its proposal replaces the last one.
    dialogs.files.push_back(name("letters"));
    click("cmd_fin");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "folder");
    EXPECT_EQ(dialogs.shown[0].title, QString::fromStdString(dir.path()));
    EXPECT_EQ(box("txt_fin")->text(), name("letters"));
    EXPECT_EQ(box("txt_fout")->text(), name("letters.cvt"));
    // An output of the user's own stays, whatever input follows.
    type("txt_fout", "/elsewhere");
    type("txt_fin", "/a/b/notes");
    EXPECT_EQ(box("txt_fout")->text(), "/elsewhere");
    // Escape closes the dialog when nothing runs.
    QApplication::setActiveWindow(dialog());
    QTest::keyClick(box("txt_fin"), Qt::Key_Escape);
    EXPECT_FALSE(dialog()->isVisible());
}

TEST_F(FolderDialogTest, FoldersRefusedAreSaidAndNothingIsWritten) {
    start();
    make_folder("in");
    dir.write("in/a.txt", dos_text(3));
    trigger("mnu_fdir");
    go("in", "in/inner");
    go("missing", "out");
    box("txt_fin")->clear();
    click("cmd_fgo");
    ASSERT_EQ(dialogs.texts("message").size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, from_cp1252(state.texts.lng_folder_input_missing));
    EXPECT_EQ(dialogs.shown[0].text,
              joined(name("in/inner"), from_cp1252(state.texts.lng_folder_inside_input)));
    EXPECT_EQ(dialogs.shown[1].text,
              joined(name("missing"), from_cp1252(state.texts.lng_folder_input_missing)));
    EXPECT_EQ(dir.names(dir.file("in")), std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(file_exists(dir.file("out")) || is_folder(dir.file("out")));
}

TEST_F(FolderDialogTest, ReplaceIsAskedOnceWithTheCountAndNoKeepsEveryFile) {
    start();
    make_folder("in");
    make_folder("out");
    dir.write("in/a.txt", dos_text(3));
    dir.write("in/b.txt", dos_text(3));
    dir.write("out/a.txt", "old a");
    dir.write("out/b.txt", "old b");
    trigger("mnu_fdir");
    dialogs.answers = {false};
    go("in", "out");
    ASSERT_EQ(dialogs.texts("question").size(), 1u);
    EXPECT_EQ(dialogs.shown.back().text,
              joined(name("out"),
                     "The output folder already holds 2 files that this run "
                     "would replace. Replace them?"));
    EXPECT_EQ(dir.read("out/a.txt"), "old a");
    EXPECT_EQ(dir.read("out/b.txt"), "old b");
    EXPECT_FALSE(report()->isVisible());
    EXPECT_TRUE(find<QAction>("mnu_fgo")->isEnabled());

    // One file, in French.
    ASSERT_EQ(::unlink(dir.file("out/b.txt").c_str()), 0);
    dialog()->reject();
    trigger("mnu_FR");
    trigger("mnu_fdir");
    dialogs.answers = {false};
    click("cmd_fgo");
    EXPECT_EQ(dialogs.shown.back().text,
              joined(name("out"), QString::fromUtf8("Le dossier de sortie contient déjà 1 fichier "
                                                    "que cette conversion remplacerait. Le "
                                                    "remplacer ?")));
    EXPECT_EQ(dir.read("out/a.txt"), "old a");
}

TEST_F(FolderDialogTest, RunReportsEachFileInTheOrderOfThePathsWithTheSummary) {
    start();
    make_folder("in");
    make_folder("in/sub");
    dir.write("in/a.txt", dos_text(20, 10));
    dir.write("in/b.txt", dos_text(20, 2));
    std::string windows_text;
    for (int i = 0; i < 20; ++i) {
        windows_text +=
            "Le comit\xE9 a d\xE9"
            "cid\xE9 de reporter la r\xE9union.\r\n";
    }
    dir.write("in/sub/windows.txt", windows_text);
    dir.write("in/sub/image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    dir.write("in/bad\x1b[2Jname", dos_text(3));
    ASSERT_EQ(::symlink("a.txt", dir.file("in/link.txt").c_str()), 0);
    trigger("mnu_fdir");
    go("in", "out");
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_TRUE(report()->isVisible());
    EXPECT_EQ(column(0), (QStringList{"a.txt", "b.txt", "bad\\x1B[2Jname", "link.txt",
                                      "sub/image.png", "sub/windows.txt"}));
    EXPECT_EQ(column(1), (QStringList{"converted", "converted", "converted", "link skipped",
                                      "copied, binary data", "copied, already Windows text"}));
    EXPECT_EQ(column(2), (QStringList{"10", "2", "0", "0", "0", "0"}));
    EXPECT_EQ(column(3), (QStringList{"21", "21", "", "", "", ""}));
    EXPECT_EQ(find<QLabel>("lbl_rsum")->text(),
              "6 files: 3 converted, 1 already Windows text, 1 binary, 1 link skipped, 0 failed");
    EXPECT_EQ(dir.read("out/sub/image.png"), dir.read("in/sub/image.png"));
    EXPECT_TRUE(find<QAction>("mnu_fgo")->isEnabled());

    // Numbers sort as numbers, a second click the other way round.
    QHeaderView* header = report_grid()->horizontalHeader();
    const QPoint characters(header->sectionViewportPosition(2) + 4, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, characters);
    EXPECT_EQ(column(2), (QStringList{"0", "0", "0", "0", "2", "10"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, characters);
    EXPECT_EQ(column(2).front(), "10");
}

TEST_F(FolderDialogTest, SavedReportIsCsvInTheOrderOfThePaths) {
    start();
    make_folder("in");
    dir.write("in/a,b \"c\".txt", dos_text(2, 1));
    ASSERT_EQ(::mkfifo(dir.file("in/pipe").c_str(), 0644), 0);
    trigger("mnu_fdir");
    go("in", "out");
    ASSERT_TRUE(report()->isVisible());
    report_grid()->sortItems(0, Qt::DescendingOrder);
    dialogs.files.push_back(name("report.csv"));
    click("cmd_rsave");
    EXPECT_EQ(dialogs.shown.back().kind, "save");
    EXPECT_EQ(dialogs.shown.back().text, "Reports|*.csv|csv");
    const std::string csv = dir.read("report.csv");
    const std::string expected_start =
        "path,result,characters,first_line,message\r\n"
        "\"a,b \"\"c\"\".txt\",converted,1,3,\r\n"
        "pipe,failed,0,,\"" +
        dir.file("in/pipe") + ": Not a regular file";
    EXPECT_EQ(csv.substr(0, expected_start.size()), expected_start);
    EXPECT_EQ(csv.substr(csv.size() - 3), "\"\r\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);

    // A report that cannot be written says so, as the program's file messages do.
    dialogs.files.push_back(name("no such folder/report.csv"));
    click("cmd_rsave");
    EXPECT_EQ(dialogs.shown.back().kind, "error");
}

TEST_F(FolderDialogTest, CommandLineWithAFolderOpensTheDialogFilledIn) {
    make_folder("in");
    state.program_dir = dir.path() + "/";
    state.start_dir = dir.path();
    windows = std::make_unique<ProgramWindows>(state, dialogs);
    frame = &windows->frame();
    windows->start(interpret_parameters(parse_parameters({"in", "out", "D"}), state.start_dir));
    frame->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog()->isVisible(); }));
    EXPECT_EQ(box("txt_fin")->text(), name("in"));
    EXPECT_EQ(box("txt_fout")->text(), name("out"));
    EXPECT_EQ(box("txt_fin")->selectedText(), name("in"));
    EXPECT_TRUE(box("txt_fin")->hasFocus() || QApplication::focusWidget() == nullptr);
    EXPECT_EQ(find<QLabel>("lbl_fway")->text(), "Conversion way: Windows (ANSI) to DOS (ASCII)");
    // General data takes the way, not the folders.
    EXPECT_TRUE(option("opt_dos")->isChecked());
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());
}

}  // namespace
}  // namespace glossek
