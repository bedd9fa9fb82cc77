// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QTimer>

#include "files/file_names.h"
#include "gui/program_icon.h"
#include "gui/window_fixture.h"

namespace glossek {
namespace {

using FrameWindow = test::WindowFixture;

const char* const kChildren[] = {"frm_tcv", "frm_wvi", "frm_wre", "frm_gen"};

int shown_maximised(const QMdiArea& area) {
    int count = 0;
    for (QMdiSubWindow* window : area.subWindowList()) {
        count += window->isMaximized() ? 1 : 0;
    }
    return count;
}

TEST_F(FrameWindow, StartsWithGeneralDataAloneShownAndTheViewersOutOfReach) {
    start();
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_TRUE(minimised("frm_tcv"));
    EXPECT_FALSE(action("mnu_wvi")->isEnabled());
    EXPECT_FALSE(action("mnu_wre")->isEnabled());
    // A viewer that its menu item cannot open yet shows no icon to open it by.
    EXPECT_TRUE(window("frm_wvi")->isHidden());
    EXPECT_TRUE(window("frm_wre")->isHidden());
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());
    EXPECT_TRUE(box("txt_out")->text().isEmpty());
    EXPECT_TRUE(option("opt_win")->isChecked());
    EXPECT_TRUE(find<QProgressBar>("gge_progress")->isHidden());
    // The frame adds the maximised child's caption, as multiple-document frames do.
    EXPECT_EQ(frame->windowTitle(), "Glossek " + test::version() + " - [General data]");
    EXPECT_EQ(find<QLabel>("lbl_codepages")->text(), "DOS 850 - Windows 1252");
    EXPECT_EQ(QApplication::focusWidget(), box("txt_inp"));
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
        EXPECT_EQ(action(name)->shortcut(), shortcut) << name;
        EXPECT_TRUE(action(name)->isVisible()) << name;
    }
    trigger("mnu_fou");  // does nothing
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(maximised("frm_gen"));
}

TEST_F(FrameWindow, WindowMenuShowsOneChildAtATimeWithTheKeyboardOnItsFirstControl) {
    start();
    trigger("Otherconversiondetails1");
    EXPECT_TRUE(maximised("frm_tcv"));
    EXPECT_TRUE(minimised("frm_gen"));
    EXPECT_EQ(QApplication::focusWidget(), grid());
    trigger("mnu_wge");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_TRUE(minimised("frm_tcv"));
    EXPECT_EQ(QApplication::focusWidget(), box("txt_inp"));
    trigger("mnu_wge");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_EQ(shown_maximised(*find<QMdiArea>("mdi_area")), 1);

    action("mnu_wre")->setEnabled(true);
    trigger("mnu_wre");
    EXPECT_TRUE(maximised("frm_wre"));
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("mem_wre"));
}

TEST_F(FrameWindow, KeysTypedAfterAWindowShortcutReachTheChildShown) {
    start();
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    QTest::keyClick(option("opt_win"), Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(maximised("frm_tcv"));
    QTest::keyClicks(QApplication::focusWidget(), "xy");
    EXPECT_EQ(grid()->item(0, 0)->text(), "xy");
    EXPECT_EQ(state.table.pairs[0].char_from, "xy");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(maximised("frm_gen"));
    QTest::keyClicks(QApplication::focusWidget(), "in.txt");
    EXPECT_EQ(box("txt_inp")->text(), "in.txt");
}

// In a text box Ctrl+A selects its text, and an Alt letter that is no mnemonic types
// nothing (the French window has no Alt+N); a mnemonic still reaches its control.
TEST_F(FrameWindow, TextBoxesKeepCtrlAAndTakeNoAltLetters) {
    start();
    trigger("mnu_FR");
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    box("txt_out")->setFocus();
    QTest::keyClicks(box("txt_out"), "out.txt");
    QTest::keyClick(box("txt_out"), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(box("txt_out")->text(), "out.txt");
    QTest::keyClick(box("txt_out"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_EQ(box("txt_out")->selectedText(), "out.txt");
    QTest::keyClick(box("txt_out"), Qt::Key_I, Qt::AltModifier);  // F&icher en entrée
    EXPECT_EQ(QApplication::focusWidget(), box("txt_inp"));
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());
}

TEST_F(FrameWindow, ClosingAChildOnlyMinimisesIt) {
    start();
    window("frm_gen")->close();
    EXPECT_TRUE(minimised("frm_gen"));
    EXPECT_EQ(find<QMdiArea>("mdi_area")->subWindowList().size(), 4);
    trigger("mnu_wge");
    EXPECT_TRUE(maximised("frm_gen"));
}

TEST_F(FrameWindow, RestoredChildTakesItsDesignSizeWithinTheFrame) {
    windows.reset();
    start();
    frame->resize(900, 700);
    for (const char* child : {"frm_tcv", "frm_gen"}) {
        window(child)->showMinimized();
        window(child)->showNormal();
        QApplication::processEvents();
        EXPECT_GE(window(child)->width(), 696) << child;
        EXPECT_GE(window(child)->height(), 480) << child;
        const QRect area = find<QMdiArea>("mdi_area")->viewport()->rect();
        EXPECT_TRUE(area.contains(window(child)->geometry())) << child;
    }
    // Restored from maximised too, and within a frame smaller than the design.
    for (const QSize frame_size : {QSize(900, 700), QSize(600, 380)}) {
        frame->resize(frame_size);
        trigger("mnu_wge");
        window("frm_gen")->showNormal();
        QApplication::processEvents();
        const QRect area = find<QMdiArea>("mdi_area")->viewport()->rect();
        EXPECT_TRUE(area.contains(window("frm_gen")->geometry()))
            << frame_size.width() << " " << window("frm_gen")->height();
        EXPECT_GE(window("frm_gen")->height(), std::min(480, area.height()));
    }
}

// Tile and Cascade show every child that has something to show, side by side; the Window
// menu's children come back one at a time.
TEST_F(FrameWindow, TileAndCascadeShowTheChildrenSideBySide) {
    start();
    frame->resize(1000, 700);
    trigger("mnu_wti");
    QApplication::processEvents();
    EXPECT_FALSE(maximised("frm_gen"));
    EXPECT_FALSE(minimised("frm_tcv"));
    EXPECT_FALSE(window("frm_gen")->geometry().intersects(window("frm_tcv")->geometry()));
    EXPECT_TRUE(window("frm_wvi")->isHidden());  // nothing to show yet
    trigger("mnu_wca");
    QApplication::processEvents();
    EXPECT_NE(window("frm_gen")->pos(), window("frm_tcv")->pos());
    EXPECT_FALSE(minimised("frm_gen"));
    trigger("mnu_wge");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_TRUE(minimised("frm_tcv"));
}

// A Go leaves the icons of the other children alone (an icon enabled again is drawn over the
// window in front while the end message was open): their contents are out of reach instead,
// and Ctrl+Tab brings none forward.
TEST_F(FrameWindow, GoLeavesTheIconsAlone) {
    start();
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "a line of text\r\n";
    }
    dir.write("in.txt", text);
    struct Changes : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::EnabledChange ? 1 : 0;
            return false;
        }
    } changes;
    window("frm_tcv")->installEventFilter(&changes);
    bool content_locked = false;
    QTimer::singleShot(0, frame, [&] {
        content_locked = !find<QWidget>("frm_tcv")->isEnabled();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    });
    go("in.txt", "out.txt");
    EXPECT_TRUE(content_locked);
    EXPECT_EQ(changes.count, 0);
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_TRUE(find<QWidget>("frm_tcv")->isEnabled());
}

// The frame opens where it was when the program last ended, maximised or not; the first
// time, and where that place is on no screen, at its design place.
TEST_F(FrameWindow, OpensWhereItWasLeft) {
    start();
    const QRect design = frame->geometry();
    frame->setGeometry(40, 60, 500, 400);
    frame->close();
    EXPECT_EQ(dir.read("GLK32.WIN"), "40 60 500 400 0\r\n");
    start();
    EXPECT_EQ(frame->geometry(), QRect(40, 60, 500, 400));
    frame->showMaximized();
    frame->close();
    start();
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->normalGeometry(), QRect(40, 60, 500, 400));
    dir.write("GLK32.WIN", "5000 60 500 400 0\r\n");
    start();
    EXPECT_EQ(frame->geometry(), design);
}

TEST_F(FrameWindow, ExitEndsTheProgramWithCodeOneWithoutAQuestion) {
    start();
    QTimer::singleShot(0, frame, [this] { trigger("mnu_fex"); });
    EXPECT_EQ(QApplication::exec(), 1);
    EXPECT_TRUE(dialogs.shown.empty());

    start();
    QTimer::singleShot(0, frame, [this] { frame->close(); });
    EXPECT_EQ(QApplication::exec(), 1);
}

TEST_F(FrameWindow, CommandLineFillsTheWindowWithoutRunning) {
    dir.write("t.glk", "CHAR\r\n- a\r\n+ b\r\n");
    dir.write("in.txt", "abc\r\n");
    start({"in.txt", "out.txt", "at.glk"});
    EXPECT_EQ(box("txt_inp")->text(), name("in.txt"));
    EXPECT_EQ(box("txt_out")->text(), name("out.txt"));
    EXPECT_TRUE(option("opt_xtf")->isChecked());
    EXPECT_EQ(state.table.pair_count, 1u);
    EXPECT_EQ(state.job.table_name, dir.file("t.glk"));
    EXPECT_EQ(grid()->item(0, 1)->text(), "b");
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_FALSE(file_exists(dir.file("out.txt")));

    start({"in.txt", "out.txt", "/d", "/x"});
    EXPECT_TRUE(option("opt_dos")->isChecked());
}

TEST_F(FrameWindow, FileAloneOnTheCommandLineIsTakenAsInputTakesIt) {
    dir.write("letter.txt", "Dear\r\nSir\r\n");
    start({"letter.txt"});
    EXPECT_EQ(box("txt_inp")->text(), name("letter.txt"));
    EXPECT_EQ(box("txt_out")->text(), name("letter.cvt.txt"));
    EXPECT_EQ(lines("mem_wvi"), (QStringList{"Dear", "Sir"}));
    EXPECT_TRUE(action("mnu_wvi")->isEnabled());
    EXPECT_EQ(state.job.line_count, 2);
    trigger("mnu_fgo");
    EXPECT_EQ(dir.read("letter.cvt.txt"), "Dear\r\nSir\r\n");
}

TEST_F(FrameWindow, MissingCommandLineTableIsReportedAndNothingRuns) {
    dir.write("in.txt", "abc\r\n");
    start({"in.txt", "out.txt", "Anone.glk", "R"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_EQ(dialogs.shown[0].text,
              name("NONE.GLK") + "\n\rProcedure halted: please check your conversion file");
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
    EXPECT_TRUE(maximised("frm_gen"));
}

TEST_F(FrameWindow, UnreadableLanguageFileStopsTheStartButKeepsTheCodePages) {
    // Opens like a file, fails when read.
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("GLK32.LNG").c_str()), 0);
    dir.write("in.txt", "abc\r\n");
    start({"in.txt"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "error");
    EXPECT_EQ(dialogs.shown[0].title, "Glossek");
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());  // the command line was not looked at
    // The pair chosen stays the pair a conversion uses.
    EXPECT_EQ(state.pages.oem, 850);
    EXPECT_EQ(state.pages.ansi, 1252);
    EXPECT_EQ(find<QLabel>("lbl_codepages")->text(), "DOS 850 - Windows 1252");
}

TEST_F(FrameWindow, UnknownCodePageIsSaidAndTheLocalePairKept) {
    ::setenv("GLOSSEK_ANSICP", "9999", 1);
    start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("9999"));
    EXPECT_TRUE(dialogs.shown[0].text.contains("1252"));
    EXPECT_EQ(state.pages.ansi, 1252);
}

// The pair of the locale alone, as a user who starts the program from the desktop has it.
struct CodePages : FrameWindow {
    CodePages() {
        ::unsetenv("GLOSSEK_OEMCP");
        ::unsetenv("GLOSSEK_ANSICP");
        ::setenv("LC_ALL", "en_US.UTF-8", 1);
    }
    ~CodePages() override { ::unsetenv("LC_ALL"); }
    std::pair<int, int> in_force() const { return {state.pages.oem, state.pages.ansi}; }
};

TEST_F(CodePages, ChosenInTheWindowTheyAreInForceAtOnceAndAtTheNextStart) {
    start();
    ASSERT_EQ(in_force(), std::pair(437, 1252));
    dialogs.code_pages.push_back(std::pair(866, 1251));
    trigger("mnu_ocp");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Code pages");
    EXPECT_EQ(dialogs.shown[0].text, "&DOS code page:|&Windows code page:|437 1252");
    EXPECT_TRUE(dialogs.offered_dos.contains("850 Western European (DOS)"));
    EXPECT_TRUE(dialogs.offered_windows.contains("1252 Western European (Windows)"));
    EXPECT_EQ(dialogs.offered_windows.back(), "65001 UTF-8 (Windows)");  // listed last
    EXPECT_EQ(dialogs.offered_dos.size(), 16);
    EXPECT_EQ(in_force(), std::pair(866, 1251));
    EXPECT_EQ(find<QLabel>("lbl_codepages")->text(), "DOS 866 - Windows 1251");
    EXPECT_EQ(dir.read("GLK32.CP"), "866 1251\r\n");

    dir.write("in.txt", "\xA0\r\n");  // a Cyrillic a in CP866
    go("in.txt", "out.txt");
    EXPECT_EQ(dir.read("out.txt"), "\xE0\r\n");

    start();
    EXPECT_EQ(in_force(), std::pair(866, 1251));
    // Cancelled, nothing changes.
    trigger("mnu_ocp");
    EXPECT_EQ(in_force(), std::pair(866, 1251));
    EXPECT_EQ(dir.read("GLK32.CP"), "866 1251\r\n");

    trigger("mnu_FR");
    trigger("mnu_ocp");
    EXPECT_EQ(dialogs.shown.back().title, "Pages de code");
    EXPECT_TRUE(dialogs.offered_dos.contains("850 Europe occidentale (DOS)"));
}

TEST_F(CodePages, EnvironmentComesFirst) {
    dir.write("GLK32.CP", "866 1251\r\n");
    ::setenv("GLOSSEK_ANSICP", "1252", 1);
    start();
    EXPECT_EQ(in_force(), std::pair(866, 1252));
}

TEST_F(CodePages, AnUnusableFileIsSaidAndTheLocalePairUsed) {
    dir.write("GLK32.CP", "866 9999\r\n");
    start();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(
        name("GLK32.CP") +
        "\n\rThe code pages kept in this file cannot be used; the pair of the "
        "language settings, DOS 437 - Windows 1252, is used instead.\n'866 "
        "9999' is not a DOS code page"))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(in_force(), std::pair(437, 1252));
    EXPECT_EQ(dir.read("GLK32.CP"), "866 9999\r\n");
}

TEST_F(FrameWindow, ShortcutsWinOverTheKeysOfTheControlWithTheFocus) {
    start();
    action("mnu_wre")->setEnabled(true);
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    QTest::keyClick(box("txt_inp"), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(maximised("frm_wre"));
    QTest::keyClick(find<QWidget>("mem_wre"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(maximised("frm_tcv"));
    QTest::keyClick(grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(maximised("frm_gen"));
    EXPECT_TRUE(box("txt_inp")->text().isEmpty());
}

TEST_F(FrameWindow, StartsWhollyOnTheScreen) {
    start();
    const QRect room = frame->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(frame->geometry())) << room.width() << "x" << room.height();
    // Where there is room, at its usual place.
    if (room.contains(QRect(120, 115, 711, 520))) {
        EXPECT_EQ(frame->geometry(), QRect(128, 147, 695, 480));
    }
}

TEST_F(FrameWindow, FrameAndEveryChildBearTheProgramsIcon) {
    start();
    const QImage own = program_icon().pixmap(32, 32).toImage();
    EXPECT_EQ(frame->windowIcon().pixmap(32, 32).toImage(), own);
    for (const char* child : kChildren) {
        EXPECT_EQ(window(child)->windowIcon().pixmap(32, 32).toImage(), own) << child;
    }
}

}  // namespace
}  // namespace glossek
