// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>

#include "files/file_names.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

using GeneralData = test::WindowFixture;

std::string numbered_lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    return text;
}

std::vector<std::string> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(d)) {
            const std::string entry_name = entry->d_name;
            if (entry_name != "." && entry_name != "..") {
                names.push_back(entry_name);
            }
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(GeneralData, InputProposesTheOutputAndFillsTheViewerFromItsStart) {
    start();
    // A long last line must not leave the viewer scrolled to its end or to its right.
    const std::string input = numbered_lines(1499) + std::string(3000, 'x') + "\r\n";
    dialogs.files.push_back(QString::fromStdString(dir.write("letter.txt", input)));
    trigger("mnu_fin");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "open");
    EXPECT_EQ(dialogs.shown[0].title, QString::fromStdString(dir.path()));
    EXPECT_EQ(dialogs.shown[0].text, " (*.txt)|*.TXT||All files|*");
    EXPECT_EQ(box("txt_inp")->text(), name("letter.txt"));
    EXPECT_EQ(box("txt_out")->text(), name("letter.cvt.txt"));
    const QStringList shown = lines("mem_wvi");
    ASSERT_EQ(shown.size(), 1000);
    EXPECT_EQ(shown.front(), "line 1");
    EXPECT_EQ(shown.back(), "line 1000");
    EXPECT_EQ(state.job.line_count, 1500);
    EXPECT_TRUE(action("mnu_wvi")->isEnabled());
    EXPECT_TRUE(maximised("frm_gen"));

    trigger("mnu_wvi");
    QApplication::processEvents();
    auto* memo = find<QPlainTextEdit>("mem_wvi");
    EXPECT_EQ(memo->textCursor().position(), 0);
    EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
    EXPECT_EQ(memo->horizontalScrollBar()->value(), 0);

    dialogs.files.push_back(QString::fromStdString(dir.write("empty.txt", "")));
    trigger("mnu_fin");
    EXPECT_EQ(state.job.line_count, 10000);
    EXPECT_TRUE(lines("mem_wvi").isEmpty());
}

TEST_F(GeneralData, DialogsOpenWhereTheProgramStartedThenWhereTheLastFileWasChosen) {
    ASSERT_EQ(::mkdir(dir.file("letters").c_str(), 0700), 0);
    start();
    dialogs.files.push_back(QString::fromStdString(dir.write("letters/a.txt", "a\r\n")));
    trigger("mnu_fin");
    dialogs.files.push_back(std::nullopt);
    trigger("Recallfile1");
    EXPECT_EQ(dialogs.shown[0].title, QString::fromStdString(dir.path()));
    EXPECT_EQ(dialogs.shown[1].title, name("letters"));
}

TEST_F(GeneralData, RelativeNamesMeanTheFolderTheProgramWasStartedFrom) {
    start();
    dir.write("in.txt", "\x82\r\n");
    box("txt_inp")->setText("in.txt");
    box("txt_out")->setText("out.txt");
    trigger("mnu_fgo");
    EXPECT_EQ(dir.read("out.txt"), "\xE9\r\n");
    EXPECT_EQ(dialogs.texts().back(), "Generation achieved for the file:\n\r" + name("out.txt"));
}

// Each viewer shows its file through the page it is written in, and names that page: the
// input through the page the way reads, the result through the page it writes.
TEST_F(GeneralData, ViewersShowTheTextThroughItsOwnPageAndNameIt) {
    start();
    const auto page = [this](const char* label) { return find<QLabel>(label)->text(); };
    dialogs.files.push_back(
        QString::fromStdString(dir.write("dos.txt", "Voil\x85 l'\x82t\x82\x01\r\n")));
    trigger("mnu_fin");
    EXPECT_EQ(lines("mem_wvi"), QStringList{QString::fromUtf8("Voilà l'été\u2401")});
    EXPECT_EQ(page("lbl_wvi"), "DOS 850");
    option("opt_dos")->setChecked(true);  // the same bytes, read as Windows text
    EXPECT_EQ(lines("mem_wvi"), QStringList{QString::fromUtf8("Voil… l'‚t‚\u2401")});
    EXPECT_EQ(page("lbl_wvi"), "Windows 1252");

    dir.write("win.txt", "Voil\xE0 l'\xE9t\xE9\r\n");
    go("win.txt", "back.txt");
    EXPECT_EQ(dir.read("back.txt"), "Voil\x85 l'\x82t\x82\r\n");
    EXPECT_EQ(lines("mem_wre"), QStringList{QString::fromUtf8("Voilà l'été")});
    EXPECT_EQ(page("lbl_wre"), "DOS 850");
    option("opt_xtf")->setChecked(true);
    EXPECT_EQ(page("lbl_wvi"), "Windows 1252");
    option("opt_win")->setChecked(true);
    EXPECT_EQ(page("lbl_wvi"), "DOS 850");
}

TEST_F(GeneralData, CancelledOrFailedInputChangesLittle) {
    start();
    dialogs.files.push_back(std::nullopt);
    trigger("mnu_fin");
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());

    dialogs.files.push_back(name("missing.txt"));
    trigger("mnu_fin");
    EXPECT_EQ(box("txt_inp")->text(), name("missing.txt"));
    EXPECT_EQ(box("txt_out")->text(), name("missing.cvt.txt"));
    EXPECT_FALSE(action("mnu_wvi")->isEnabled());
    EXPECT_TRUE(window("frm_wvi")->isHidden());
    ASSERT_EQ(dialogs.shown.back().kind, "error");
    EXPECT_EQ(dialogs.shown.back().title, "Glossek");
    EXPECT_EQ(dialogs.shown.back().text, "File not found.");
}

TEST_F(GeneralData, GoChecksNamesInOrder) {
    start();
    find<QPlainTextEdit>("mem_wre")->setPlainText("old");
    trigger("Otherconversiondetails1");
    trigger("mnu_fgo");
    EXPECT_TRUE(lines("mem_wre").isEmpty());  // cleared before any check
    EXPECT_TRUE(maximised("frm_gen"));

    box("txt_out")->setText("out.txt");
    trigger("mnu_fgo");  // empty input equals the empty table name
    box("txt_inp")->setText("same.txt");
    box("txt_out")->setText("same.txt");
    trigger("mnu_fgo");
    std::vector<QString> expected = {
        "Output file mus have a name",
        "Input file and conversion file must be different",
        "Input and output files must be different.",
    };
    EXPECT_EQ(dialogs.texts(), expected);
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.title, "Glossek");
    }

    state.job.table_name = dir.file("t.glk");
    dialogs.shown.clear();
    box("txt_inp")->setText("in.txt");
    box("txt_out")->setText("t.glk");
    trigger("mnu_fgo");
    box("txt_inp")->setText("");
    box("txt_out")->setText(name("out.txt"));
    trigger("mnu_fgo");  // passes the checks; the engine finds no input
    expected = {"Output file and conversion file must be different",
                "\n\rFile does not exist or 'Input file' area empty."};
    EXPECT_EQ(dialogs.texts(), expected);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    EXPECT_TRUE(action("mnu_wre")->isEnabled());
}

TEST_F(GeneralData, GoConvertsShowsTheResultAndReportsTheEnd) {
    start();
    dir.write("in.txt", std::string("\x82t\x82\r\n", 5) + numbered_lines(2499));
    QSignalSpy progress(find<QProgressBar>("gge_progress"), &QProgressBar::valueChanged);
    go("in.txt", "out.txt");
    EXPECT_EQ(dir.read("out.txt").substr(0, 5), "\xE9t\xE9\r\n");
    const QStringList shown = lines("mem_wre");
    EXPECT_EQ(shown.size(), 1000);
    EXPECT_EQ(shown.front(), QString::fromUtf8("été"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Generation achieved for the file:\n\r" + name("out.txt"));
    EXPECT_TRUE(find<QProgressBar>("gge_progress")->isHidden());
    EXPECT_TRUE(action("mnu_wre")->isEnabled());
    EXPECT_FALSE(window("frm_wre")->isHidden());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toInt(), 100);
}

// UTF-8 as the Windows page: the viewers show UTF-8 and the end message says what the DOS
// page could not hold.
struct Utf8GeneralData : GeneralData {
    Utf8GeneralData() { ::setenv("GLOSSEK_ANSICP", "65001", 1); }
};

TEST_F(Utf8GeneralData, ViewersShowUtf8AndTheEndSaysWhatWasLostInEachLanguage) {
    start();
    option("opt_dos")->setChecked(true);  // reads UTF-8
    dialogs.files.push_back(QString::fromStdString(
        dir.write("u.txt", "caf\xC3\xA9\x01 \xFF\r\n\xE2\x80\x94 \xF0\x9F\x98\x80\r\n")));
    trigger("mnu_fin");
    EXPECT_EQ(lines("mem_wvi"),
              (QStringList{QString::fromUtf8("café\u2401 \uFFFD"), QString::fromUtf8("— 😀")}));

    EXPECT_EQ(find<QLabel>("lbl_wvi")->text(), "UTF-8");
    go("u.txt", "d.txt");
    EXPECT_EQ(dir.read("d.txt"), "caf\x82\x01 ?\r\n- ?\r\n");
    EXPECT_EQ(lines("mem_wre").front(), QString::fromUtf8("café\u2401 ?"));
    EXPECT_EQ(dialogs.shown.back().text,
              "Generation achieved for the file:\n\r" + name("d.txt") +
                  "\n\r3 characters had no exact counterpart (first on line 1)");

    trigger("mnu_FR");
    dialogs.answers.push_back(true);  // replace d.txt
    go("u.txt", "d.txt");
    EXPECT_EQ(dialogs.shown.back().text,
              QString::fromUtf8("Generation terminatée pour le fichier:\n\r") + name("d.txt") +
                  QString::fromUtf8("\n\r3 caractères n'avaient pas d'équivalent exact (le "
                                    "premier à la ligne 1)"));

    // DOS to UTF-8 loses nothing here: the message says nothing more.
    trigger("mnu_US");
    option("opt_win")->setChecked(true);
    dir.write("dos.txt", "\x82t\x82\r\n");
    go("dos.txt", "w.txt");
    EXPECT_EQ(dir.read("w.txt"), "\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(lines("mem_wre"), QStringList{QString::fromUtf8("été")});
    EXPECT_EQ(dialogs.shown.back().text, "Generation achieved for the file:\n\r" + name("w.txt"));
}

// The bar follows the bytes read, whatever filled the boxes: a long first line moves it
// far, and a file grown since Input still ends full.
TEST_F(GeneralData, ProgressFollowsTheBytesRead) {
    dir.write("in.txt", std::string(80, 'x') + "\r\n" + numbered_lines(3));
    start({"in.txt", "out.txt"});
    EXPECT_EQ(lines("mem_wvi").size(), 4);  // shown at start, as Input shows it
    EXPECT_TRUE(action("mnu_wvi")->isEnabled());
    dir.write("in.txt", std::string(80, 'x') + "\r\n" + numbered_lines(19));
    QSignalSpy progress(find<QProgressBar>("gge_progress"), &QProgressBar::valueChanged);
    trigger("mnu_fgo");
    std::vector<int> values;
    for (const auto& call : progress) {
        values.push_back(call.at(0).toInt());
    }
    // The bar is moved at most every 20 ms, so steps in between may be skipped; it shows the
    // first line's step at once and ends full.
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), 82 * 100 / (82 + 19 * 8 + 10 * 1));
    EXPECT_EQ(values.back(), 100);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

// A missing input is said before any question about the output.
TEST_F(GeneralData, MissingInputIsSaidBeforeTheOverwriteQuestion) {
    start();
    dir.write("out.txt", "precious");
    go("none.txt", "out.txt");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "message");
    EXPECT_EQ(dialogs.shown[0].text,
              name("none.txt") + "\n\rFile does not exist or 'Input file' area empty.");
    EXPECT_EQ(dir.read("out.txt"), "precious");
}

TEST_F(GeneralData, NoAtTheOverwriteQuestionLeavesEverythingAsItWas) {
    start();
    dir.write("in.txt", "new\r\n");
    dir.write("out.txt", "precious");
    dialogs.answers.push_back(false);
    go("in.txt", "out.txt");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "question");
    EXPECT_EQ(dialogs.shown[0].text,
              name("out.txt") + "\n\rWarning, this file already exists, continue...");
    EXPECT_EQ(dir.read("out.txt"), "precious");
    EXPECT_TRUE(lines("mem_wre").isEmpty());
    EXPECT_FALSE(action("mnu_wre")->isEnabled());

    dialogs.answers.push_back(true);
    trigger("mnu_fgo");
    EXPECT_EQ(dir.read("out.txt"), "new\r\n");
}

TEST_F(GeneralData, FailedWriteKeepsTheBarAndDoesNotEnableTheResult) {
    start();
    dir.write("in.txt", "text\r\n");
    go("in.txt", "nofolder/out.txt");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_EQ(dialogs.shown[0].text, "Invalid filename.");
    EXPECT_FALSE(find<QProgressBar>("gge_progress")->isHidden());
    EXPECT_FALSE(action("mnu_wre")->isEnabled());
    // The window is usable again.
    EXPECT_TRUE(frame->menuBar()->isEnabled());
    EXPECT_TRUE(box("txt_inp")->isEnabled());
}

TEST_F(GeneralData, OutputThatIsTheInputUnderAnotherNameIsRefused) {
    start();
    dir.write("in.txt", "keep\r\n");
    ASSERT_EQ(::symlink(dir.file("in.txt").c_str(), dir.file("link.txt").c_str()), 0);
    ASSERT_EQ(::link(dir.file("in.txt").c_str(), dir.file("hard.txt").c_str()), 0);
    // Refused by the name checks, before the overwrite question, whatever the spelling.
    for (const char* other : {"link.txt", "hard.txt", "./in.txt"}) {
        go("in.txt", other);
    }
    EXPECT_EQ(dialogs.texts(),
              std::vector<QString>(3, "Input and output files must be different."));
    EXPECT_EQ(dir.read("in.txt"), "keep\r\n");
}

TEST_F(GeneralData, TableUnderAnotherNameIsNeitherInputNorOutput) {
    dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n");
    ASSERT_EQ(::symlink(dir.file("t.glk").c_str(), dir.file("alias.glk").c_str()), 0);
    dir.write("in.txt", "a\r\n");
    start({"in.txt", "out.txt", "At.glk"});
    go("in.txt", "alias.glk");
    go("alias.glk", "out.txt");
    EXPECT_EQ(dialogs.texts(),
              (std::vector<QString>{"Output file and conversion file must be different",
                                    "Input file and conversion file must be different"}));
    EXPECT_EQ(dir.read("t.glk"), "CHAR\r\n- a\r\n+ b\r\n");
}

TEST_F(GeneralData, NamesInMessagesAreShownAsSpelledWithControlsWrittenAsCodes) {
    start();
    go("\xC3\xA9t\xC3\xA9\x1B[2J.txt", "out.txt");
    ASSERT_EQ(dialogs.texts().size(), 1u);
    EXPECT_EQ(dialogs.texts()[0],
              QString::fromUtf8("\n\rFile does not exist or 'Input file' area empty.")
                  .prepend(name("été\\x1B[2J.txt")));
}

// The box names the files and the cause: the input and the table of a stopped pair, the
// table, row and side of a bad code, the file layer's words in the language in force.
TEST_F(GeneralData, ErrorBoxesNameTheFilesAndTheCause) {
    dir.write("in.txt", "ok\r\nxaab\r\n");
    dir.write("t.glk", "CHAR\r\n- ab\r\n+ bbaa\r\n");
    start({"in.txt", "out.txt", "At.glk"});
    trigger("mnu_fgo");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    const QString& stopped = dialogs.shown[0].text;
    EXPECT_TRUE(stopped.startsWith(name("in.txt") + "\n\rReplacement pair 1 was stopped on line 2"))
        << stopped.toStdString();
    EXPECT_TRUE(stopped.endsWith("The pair comes from the conversion file:\n\r" + name("t.glk")))
        << stopped.toStdString();

    dir.write("bad.glk", "HEXA\r\n- 41\r\n+ 4G\r\n");
    start({"in.txt", "out.txt", "Abad.glk"});
    EXPECT_EQ(dialogs.shown.back().text,
              name("bad.glk") + "\n\rrow 1, side \"Replaced by\": '4G' is not a code.");

    trigger("mnu_FR");
    go("in.txt", "nofolder/out.txt");
    EXPECT_EQ(dialogs.shown.back().text, "Nom de fichier incorrect.");
}

TEST_F(GeneralData, AuxiliaryWayUsesTheTableFromTheCommandLine) {
    dir.write("t.glk", "HEXA\r\n- 61 61\r\n+ 61\r\n");
    dir.write("in.txt", "aaaa\r\n");
    start({"in.txt", "out.txt", "At.glk"});
    trigger("mnu_fgo");
    EXPECT_EQ(dir.read("out.txt"), "a\r\n");
}

// A conversion long enough for the window to answer its Cancel button while it runs.
struct StoppedGo : GeneralData {
    void SetUp() override {
        std::string text;
        for (int i = 0; i < 400000; ++i) {
            text += "une ligne de texte a convertir\r\n";
        }
        dir.write("big.txt", text);
        dir.write("slow.glk", "CHAR\r\n- ligne\r\n+ line\r\n- texte\r\n+ text\r\n");
        dir.write("out.txt", "precious");
        start({"big.txt", "out.txt", "Aslow.glk"});
        dialogs.answers.push_back(true);
    }

    void expect_stopped_with_the_old_output() {
        EXPECT_TRUE(dir.read("out.txt") == "precious");
        EXPECT_EQ(folder_entries(dir.path()),
                  (std::vector<std::string>{"big.txt", "out.txt", "slow.glk"}));
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_EQ(dialogs.shown.back().kind, "message");
        EXPECT_EQ(dialogs.shown.back().text,
                  "Generation stopped: the output file was left as it was:\n\r" + name("out.txt"));
        EXPECT_TRUE(lines("mem_wre").isEmpty());
        EXPECT_TRUE(find<QProgressBar>("gge_progress")->isHidden());
        EXPECT_TRUE(find<QPushButton>("cmd_stop")->isHidden());
        EXPECT_FALSE(action("mnu_wre")->isEnabled());
        EXPECT_TRUE(frame->menuBar()->isEnabled());
        EXPECT_TRUE(find<QWidget>("frm_tcv")->isEnabled());
        EXPECT_TRUE(box("txt_inp")->isEnabled());
    }
};

TEST_F(StoppedGo, CancelButtonStopsItAndKeepsTheOldOutput) {
    bool locked = false;
    QTimer::singleShot(0, frame, [&] {
        auto* stop = find<QPushButton>("cmd_stop");
        EXPECT_TRUE(stop->isVisible());
        EXPECT_EQ(stop->text(), "Cancel");
        // Nothing else can be reached meanwhile.
        locked = !frame->menuBar()->isEnabled() && !find<QWidget>("frm_tcv")->isEnabled() &&
                 !box("txt_inp")->isEnabled() && !option("opt_win")->isEnabled() &&
                 !action("mnu_fgo")->isEnabled() && !action("Otherconversiondetails1")->isEnabled();
        // Nor by the keyboard: F2 starts no second conversion inside this one.
        QTest::keyClick(frame, Qt::Key_F2);
        stop->click();
    });
    trigger("mnu_fgo");
    EXPECT_TRUE(locked);
    expect_stopped_with_the_old_output();
    EXPECT_TRUE(action("mnu_fgo")->isEnabled());
    EXPECT_FALSE(action("mnu_wre")->isEnabled());  // as it was before the Go
}

TEST_F(StoppedGo, EscapeStopsItToo) {
    QTimer::singleShot(0, frame,
                       [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    trigger("mnu_fgo");
    expect_stopped_with_the_old_output();
}

TEST_F(StoppedGo, ClosingTheFrameStopsItFirst) {
    QTimer::singleShot(0, frame, [&] { frame->close(); });
    trigger("mnu_fgo");
    expect_stopped_with_the_old_output();
    EXPECT_TRUE(frame->isVisible());  // closed once the conversion has ended
    QTimer::singleShot(2000, frame, [] { QApplication::exit(2); });
    EXPECT_EQ(QApplication::exec(), 1);
}

TEST_F(GeneralData, BoxesStretchWithTheWindowAndNothingIsClippedWhenItShrinks) {
    start();
    frame->resize(695, 480);
    QApplication::processEvents();
    const int normal_width = box("txt_inp")->width();
    EXPECT_EQ(box("txt_inp")->x(), 160);
    EXPECT_EQ(box("txt_inp")->y(), 32);
    EXPECT_EQ(option("opt_win")->geometry().topLeft(), QPoint(56, 192));

    frame->resize(1200, 800);
    QApplication::processEvents();
    const int wide = box("txt_inp")->width();
    EXPECT_EQ(wide - normal_width, 1200 - 695);
    EXPECT_EQ(box("txt_out")->width(), wide);
    EXPECT_EQ(option("opt_win")->geometry().topLeft(), QPoint(56, 192));

    frame->resize(400, 300);
    QApplication::processEvents();
    EXPECT_GE(box("txt_inp")->width(), 457);
    // What does not fit can be scrolled to.
    auto* scroll = find<QScrollArea>("frm_gen_scroll");
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace glossek
