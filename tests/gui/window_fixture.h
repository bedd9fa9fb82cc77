// SPDX-License-Identifier: MIT
// The frame with its four child windows, started as the program starts them, and the
// controls found by their names, as a user's tools find them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "gui/scripted_dialogs.h"
#include "gui/windows.h"
#include "lang/version.h"
#include "support/temp_dir.h"

namespace glossek::test {

// The program's version as the windows show it.
inline QString version() {
    return QString::fromLatin1(kVersion.data(), static_cast<qsizetype>(kVersion.size()));
}

struct WindowFixture : ::testing::Test {
    TempDir dir;
    AppState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;
    FrameWindow* frame = nullptr;

    WindowFixture() {
        ::setenv("GLOSSEK_OEMCP", "850", 1);
        ::setenv("GLOSSEK_ANSICP", "1252", 1);
    }

    // The program started from the test's folder, which is its own folder too.
    void start(const std::vector<std::string>& args = {}) {
        windows.reset();
        state.program_dir = dir.path() + "/";
        state.start_dir = dir.path();
        windows = std::make_unique<ProgramWindows>(state, dialogs);
        frame = &windows->frame();
        windows->start(interpret_parameters(parse_parameters(args), state.start_dir));
        frame->show();
        // As on a desktop, the window shown is the active one, with the keyboard.
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    }

    template <typename Widget = QWidget>
    Widget* find(const char* name) const {
        auto* widget = frame->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << "no " << name;
        return widget;
    }
    QAction* action(const char* name) const { return find<QAction>(name); }
    void trigger(const char* item) const { action(item)->trigger(); }
    // The child window around a window's content ("frm_gen", "frm_tcv", ...).
    QMdiSubWindow* window(const char* content) const {
        return find<QMdiSubWindow>((std::string(content) + "_window").c_str());
    }
    bool maximised(const char* content) const { return window(content)->isMaximized(); }
    bool minimised(const char* content) const { return window(content)->isMinimized(); }

    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    QRadioButton* option(const char* name) const { return find<QRadioButton>(name); }
    QTableWidget* grid() const { return find<QTableWidget>("grd_tcv"); }
    QString name(const std::string& file) const { return QString::fromStdString(dir.file(file)); }

    // The lines a viewer shows ("mem_wvi", "mem_wre").
    QStringList lines(const char* memo) const {
        const QString text = find<QPlainTextEdit>(memo)->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QChar('\n'));
    }

    // The names in the program's own folder's boxes and Go.
    void go(const std::string& input, const std::string& output) {
        box("txt_inp")->setText(name(input));
        box("txt_out")->setText(name(output));
        trigger("mnu_fgo");
    }
};

}  // namespace glossek::test
