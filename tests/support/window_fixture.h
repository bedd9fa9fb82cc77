// A frame with its four child windows, started as the program starts them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "app/child_window.h"
#include "app/u_mdiglk.h"
#include "app/u_wre.h"
#include "app/u_wvi.h"
#include "conversion/u_gen.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "table/u_tcv.h"

namespace glossek::test {

struct WindowFixture : ::testing::Test {
    TempDir dir;
    AppState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Tmdi_glk> frame;

    WindowFixture() {
        ::setenv("GLOSSEK_OEMCP", "850", 1);
        ::setenv("GLOSSEK_ANSICP", "1252", 1);
    }

    void start(const std::vector<std::string>& args = {}) {
        state.ProgramDir = dir.path() + "/";
        frame = std::make_unique<Tmdi_glk>(state, dialogs, QStringLiteral("/opt/glossek/glossek"));
        frame->create_children();
        frame->frm_gen->FormCreate(interpret_parameters(parse_parameters(args), dir.path()));
        frame->show();
    }

    bool maximised(QWidget* child) const { return frame->child_window_of(child)->isMaximized(); }
    bool minimised(QWidget* child) const { return frame->child_window_of(child)->isMinimized(); }
    Tfrm_gen& gen() const { return *frame->frm_gen; }
    QString name(const std::string& file) const { return QString::fromStdString(dir.file(file)); }
};

}  // namespace glossek::test
