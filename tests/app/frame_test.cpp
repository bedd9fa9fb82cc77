#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "support/window_fixture.h"

namespace glossek {
namespace {

using test::WindowFixture;

using FrameWindow = WindowFixture;

TEST_F(FrameWindow, StartsWithGeneralDataAloneShownAndViewsDisabled) {
    start();
    EXPECT_TRUE(maximised(frame->frm_gen));
    EXPECT_TRUE(minimised(frame->frm_tcv));
    EXPECT_TRUE(minimised(frame->frm_wvi));
    EXPECT_TRUE(minimised(frame->frm_wre));
    EXPECT_FALSE(frame->mnu_wvi->isEnabled());
    EXPECT_FALSE(frame->mnu_wre->isEnabled());
    EXPECT_TRUE(gen().txt_inp->text().isEmpty());
    EXPECT_TRUE(gen().txt_out->text().isEmpty());
    EXPECT_TRUE(gen().opt_win->isChecked());
    EXPECT_TRUE(gen().gge_progress->isHidden());
    // The frame adds the maximised child's caption, as multiple-document frames do.
    EXPECT_EQ(frame->windowTitle(), "Glossek 3.12 - [General data]");
    EXPECT_EQ(frame->findChild<QLabel*>("lbl_codepages")->text(), "DOS 850 - Windows 1252");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FrameWindow, MenuHasEveryItemWithItsShortcut) {
    start();
    const std::pair<const char*, QKeySequence> items[] = {
        {"mnu_fin", QKeySequence(Qt::CTRL | Qt::Key_F12)},
        {"mnu_fou", QKeySequence()},
        {"mnu_fgo", QKeySequence(Qt::Key_F2)},
        {"mnu_fex", QKeySequence()},
        {"Recallfile1", QKeySequence()},
        {"Savefileas1", QKeySequence()},
        {"mnu_wge", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"Otherconversiondetails1", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"mnu_wvi", QKeySequence(Qt::CTRL | Qt::Key_I)},
        {"mnu_wre", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"mnu_US", QKeySequence()},
        {"mnu_FR", QKeySequence()},
        {"mnu_hin", QKeySequence(Qt::Key_F1)},
        {"mnu_hab", QKeySequence()},
        {"mnu_hauth", QKeySequence()},
        {"mnu_hglkh", QKeySequence()},
        {"mnu_hmail", QKeySequence()},
    };
    for (const auto& [name, shortcut] : items) {
        auto* action = frame->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->shortcut(), shortcut) << name;
    }
    EXPECT_EQ(frame->pdn_opt->title(), "&Options");
    EXPECT_EQ(frame->mnu_fgo->text(), "&Go");
    EXPECT_EQ(frame->pdn_tcv->title(), "Au&xiliary conversion");

    frame->mnu_fou->trigger();  // does nothing
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(maximised(frame->frm_gen));
}

TEST_F(FrameWindow, WindowMenuShowsOneChildAtATime) {
    start();
    frame->Otherconversiondetails1->trigger();
    EXPECT_TRUE(maximised(frame->frm_tcv));
    EXPECT_TRUE(minimised(frame->frm_gen));
    frame->mnu_wge->trigger();
    EXPECT_TRUE(maximised(frame->frm_gen));
    EXPECT_TRUE(minimised(frame->frm_tcv));
    frame->mnu_wge->trigger();
    EXPECT_TRUE(maximised(frame->frm_gen));
    int shown = 0;
    for (QMdiSubWindow* window : frame->mdi_area()->subWindowList()) {
        shown += window->isMaximized() ? 1 : 0;
    }
    EXPECT_EQ(shown, 1);
}

TEST_F(FrameWindow, ClosingAChildOnlyMinimisesIt) {
    start();
    ChildWindow* window = frame->child_window_of(frame->frm_gen);
    window->close();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(frame->mdi_area()->subWindowList().size(), 4);
    frame->mnu_wge->trigger();
    EXPECT_TRUE(maximised(frame->frm_gen));
}

TEST_F(FrameWindow, ExitEndsTheProgramWithCodeOneWithoutAQuestion) {
    start();
    QTimer::singleShot(0, frame.get(), [this] { frame->mnu_fex->trigger(); });
    EXPECT_EQ(QApplication::exec(), 1);
    EXPECT_TRUE(dialogs.shown.empty());

    start();
    QTimer::singleShot(0, frame.get(), [this] { frame->close(); });
    EXPECT_EQ(QApplication::exec(), 1);
}

TEST_F(FrameWindow, CommandLineFillsTheWindowWithoutRunning) {
    dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n");
    dir.write("in.txt", "abc\r\n");
    start({"in.txt", "out.txt", "at.glk"});
    EXPECT_EQ(gen().txt_inp->text(), name("in.txt"));
    EXPECT_EQ(gen().txt_out->text(), name("out.txt"));
    EXPECT_TRUE(gen().opt_xtf->isChecked());
    EXPECT_EQ(state.job.PairCount, 1);
    EXPECT_EQ(state.job.TableName, dir.file("t.glk"));
    EXPECT_TRUE(maximised(frame->frm_gen));
    EXPECT_FALSE(file_exists(dir.file("out.txt")));

    start({"in.txt", "out.txt", "/d", "/x"});
    EXPECT_TRUE(gen().opt_dos->isChecked());
}

TEST_F(FrameWindow, MissingCommandLineTableIsReportedAndNothingRuns) {
    dir.write("in.txt", "abc\r\n");
    start({"in.txt", "out.txt", "Anone.glk", "R"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text,
              name("NONE.GLK") + "\n\rProcedure halted: please check your conversion file");
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    EXPECT_TRUE(maximised(frame->frm_gen));
}

TEST_F(FrameWindow, UnreadableLanguageFileStopsTheStartWithAnErrorBox) {
    // Opens like a file, fails when read.
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("GLK32.LNG").c_str()), 0);
    dir.write("in.txt", "abc\r\n");
    start({"in.txt"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_EQ(dialogs.shown[0].title, "glossek");
    EXPECT_TRUE(gen().txt_inp->text().isEmpty());  // the command line was not looked at
}

TEST_F(FrameWindow, UnknownCodePageIsSaidAndTheLocalePairKept) {
    ::setenv("GLOSSEK_ANSICP", "9999", 1);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("9999"));
    EXPECT_TRUE(dialogs.shown[0].text.contains("1252"));
    EXPECT_EQ(state.pages.ansi, 1252);
}

}  // namespace
}  // namespace glossek

namespace glossek {
namespace {

TEST_F(FrameWindow, ShortcutsReachTheirCommands) {
    start();
    frame->mnu_wre->setEnabled(true);
    frame->activateWindow();
    QApplication::setActiveWindow(frame.get());
    QTest::keyClick(frame->frm_gen->txt_inp, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(maximised(frame->frm_wre));
    QTest::keyClick(frame->frm_wre->memo(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(maximised(frame->frm_tcv));
    QTest::keyClick(frame->frm_tcv, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(maximised(frame->frm_gen));
}

}  // namespace
}  // namespace glossek
