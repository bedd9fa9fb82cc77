#include <sys/stat.h>

#include <QSignalSpy>

#include "conversion/commands.h"
#include "support/window_fixture.h"

namespace glossek {
namespace {

using test::WindowFixture;
using GeneralData = WindowFixture;

std::string numbered_lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST(ProposedOutputName, CvtGoesBeforeTheExtensionOfTheNameOnly) {
    EXPECT_EQ(proposed_output_name("/docs/LETTER.TXT"), "/docs/LETTER.cvt.TXT");
    EXPECT_EQ(proposed_output_name("/a/b.c/README"), "/a/b.c/README.cvt");
    EXPECT_EQ(proposed_output_name("/docs/notes"), "/docs/notes.cvt");
    EXPECT_EQ(proposed_output_name("/docs/report.2024.final.txt"),
              "/docs/report.2024.final.cvt.txt");
    EXPECT_EQ(proposed_output_name("/docs/.profile"), "/docs/.cvt.profile");
}

TEST_F(GeneralData, InputProposesTheOutputAndFillsTheViewer) {
    start();
    const std::string input = numbered_lines(1500);
    dialogs.files.push_back(QString::fromStdString(dir.write("letter.txt", input)));
    frame->mnu_fin->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "open");
    EXPECT_EQ(dialogs.shown[0].title, QString::fromStdString(state.ProgramDir));
    EXPECT_EQ(dialogs.shown[0].text, " (*.txt)|*.TXT");
    EXPECT_EQ(gen().txt_inp->text(), name("letter.txt"));
    EXPECT_EQ(gen().txt_out->text(), name("letter.cvt.txt"));
    EXPECT_EQ(frame->frm_wvi->line_count(), 1000);
    EXPECT_EQ(frame->frm_wvi->line(0), "line 1");
    EXPECT_EQ(frame->frm_wvi->line(999), "line 1000");
    EXPECT_EQ(state.job.LineCount, 1500);
    EXPECT_TRUE(frame->mnu_wvi->isEnabled());
    EXPECT_TRUE(maximised(frame->frm_gen));

    dialogs.files.push_back(QString::fromStdString(dir.write("empty.txt", "")));
    frame->mnu_fin->trigger();
    EXPECT_EQ(state.job.LineCount, 10000);
    EXPECT_EQ(frame->frm_wvi->line_count(), 0);
}

TEST_F(GeneralData, InputShowsBytesThroughTheAnsiPageAndKeepsControlBytesVisible) {
    start();
    dialogs.files.push_back(QString::fromStdString(dir.write("w.txt", "caf\xE9\x01x\r\n")));
    frame->mnu_fin->trigger();
    EXPECT_EQ(frame->frm_wvi->line(0), QString::fromUtf8("café\u2401x"));
}

TEST_F(GeneralData, CancelledOrFailedInputChangesLittle) {
    start();
    dialogs.files.push_back(std::nullopt);
    frame->mnu_fin->trigger();
    EXPECT_TRUE(gen().txt_inp->text().isEmpty());

    dialogs.files.push_back(name("missing.txt"));
    frame->mnu_fin->trigger();
    EXPECT_EQ(gen().txt_inp->text(), name("missing.txt"));
    EXPECT_EQ(gen().txt_out->text(), name("missing.cvt.txt"));
    EXPECT_FALSE(frame->mnu_wvi->isEnabled());
    ASSERT_EQ(dialogs.shown.back().kind, "error");
    EXPECT_EQ(dialogs.shown.back().title, "glossek");
    EXPECT_EQ(dialogs.shown.back().text, "File not found.");
}

TEST_F(GeneralData, GoChecksNamesInOrder) {
    start();
    frame->frm_wre->append_line("old", state.pages);
    frame->Otherconversiondetails1->trigger();
    frame->mnu_fgo->trigger();
    EXPECT_EQ(frame->frm_wre->line_count(), 0);  // cleared before any check
    EXPECT_TRUE(maximised(frame->frm_gen));

    gen().txt_out->setText("out.txt");
    frame->mnu_fgo->trigger();  // empty input equals the empty table name
    gen().txt_inp->setText("same.txt");
    gen().txt_out->setText("same.txt");
    frame->mnu_fgo->trigger();
    std::vector<QString> expected = {
        "Output file mus have a name",
        "Input file and conversion file must be different",
        "Input and output files must be different.",
    };
    EXPECT_EQ(dialogs.texts(), expected);
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.title, "Glossek");
    }

    state.job.TableName = "t.glk";
    dialogs.shown.clear();
    gen().txt_inp->setText("in.txt");
    gen().txt_out->setText("t.glk");
    frame->mnu_fgo->trigger();
    gen().txt_inp->setText("");
    gen().txt_out->setText(name("out.txt"));
    frame->mnu_fgo->trigger();  // passes the checks; the engine finds no input
    expected = {"Output file and conversion file must be different",
                "\n\rFile does not exist or 'Input file' area empty."};
    EXPECT_EQ(dialogs.texts(), expected);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    EXPECT_TRUE(frame->mnu_wre->isEnabled());
}

TEST_F(GeneralData, GoConvertsShowsTheResultAndReportsTheEnd) {
    start();
    dir.write("in.txt", std::string("\x82t\x82\r\n", 5) + numbered_lines(2499));
    gen().txt_inp->setText(name("in.txt"));
    gen().txt_out->setText(name("out.txt"));
    QSignalSpy progress(gen().gge_progress, &QProgressBar::valueChanged);
    frame->mnu_fgo->trigger();
    EXPECT_EQ(dir.read("out.txt").substr(0, 5), "\xE9t\xE9\r\n");
    EXPECT_EQ(frame->frm_wre->line_count(), 1000);
    EXPECT_EQ(frame->frm_wre->line(0), QString::fromUtf8("été"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Generation achieved for the file:\n\r" + name("out.txt"));
    EXPECT_TRUE(gen().gge_progress->isHidden());
    EXPECT_TRUE(frame->mnu_wre->isEnabled());
    // LineCount 10000 for a file never shown: 2500 lines take the bar to 25.
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toInt(), 25);
}

TEST_F(GeneralData, ProgressFollowsLineCount) {
    start();
    dialogs.files.push_back(QString::fromStdString(dir.write("three.txt", "a\r\nb\r\nc\r\n")));
    frame->mnu_fin->trigger();
    ASSERT_EQ(state.job.LineCount, 3);
    dir.write("three.txt", "a\r\nb\r\nc\r\nd\r\ne\r\n");  // grown since it was shown
    QSignalSpy progress(gen().gge_progress, &QProgressBar::valueChanged);
    frame->mnu_fgo->trigger();
    std::vector<int> values;
    for (const auto& call : progress) {
        values.push_back(call.at(0).toInt());
    }
    EXPECT_EQ(values, (std::vector<int>{33, 66, 100}));
}

TEST_F(GeneralData, NoAtTheOverwriteQuestionLeavesEverythingAsItWas) {
    start();
    dir.write("in.txt", "new\r\n");
    dir.write("out.txt", "precious");
    gen().txt_inp->setText(name("in.txt"));
    gen().txt_out->setText(name("out.txt"));
    dialogs.answers.push_back(false);
    frame->mnu_fgo->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "question");
    EXPECT_EQ(dialogs.shown[0].text,
              name("out.txt") + "\n\rWarning, this file already exists, continue...");
    EXPECT_EQ(dir.read("out.txt"), "precious");
    EXPECT_EQ(frame->frm_wre->line_count(), 0);
    EXPECT_FALSE(frame->mnu_wre->isEnabled());

    dialogs.answers.push_back(true);
    frame->mnu_fgo->trigger();
    EXPECT_EQ(dir.read("out.txt"), "new\r\n");
}

TEST_F(GeneralData, FailedWriteKeepsTheBarAndDoesNotEnableTheResult) {
    start();
    dir.write("in.txt", "text\r\n");
    gen().txt_inp->setText(name("in.txt"));
    gen().txt_out->setText(name("nofolder/out.txt"));
    frame->mnu_fgo->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_EQ(dialogs.shown[0].text, "Invalid filename.");
    EXPECT_FALSE(gen().gge_progress->isHidden());
    EXPECT_FALSE(frame->mnu_wre->isEnabled());
}

TEST_F(GeneralData, OutputThatIsTheInputUnderAnotherNameIsRefused) {
    start();
    dir.write("in.txt", "keep\r\n");
    ASSERT_EQ(::symlink(dir.file("in.txt").c_str(), dir.file("link.txt").c_str()), 0);
    gen().txt_inp->setText(name("in.txt"));
    gen().txt_out->setText(name("link.txt"));
    frame->mnu_fgo->trigger();  // refused by the name checks, before the overwrite question
    EXPECT_EQ(dialogs.texts(), std::vector<QString>{"Input and output files must be different."});
    EXPECT_EQ(dir.read("in.txt"), "keep\r\n");
}

TEST_F(GeneralData, AuxiliaryWayUsesTheTableFromTheCommandLine) {
    dir.write("t.glk", "HEXA\r\n- 61 61\r\n+ 61\r\n");
    dir.write("in.txt", "aaaa\r\n");
    start({"in.txt", "out.txt", "At.glk"});
    frame->mnu_fgo->trigger();
    EXPECT_EQ(dir.read("out.txt"), "a\r\n");
}

}  // namespace
}  // namespace glossek
