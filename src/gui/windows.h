// The program's windows put together: the frame, its four children in their fixed order,
// each menu item connected to the window whose command it is, and the start.
#pragma once

#include <QString>
#include <memory>

#include "app/app_state.h"
#include "conversion/job.h"
#include "gui/dialogs.h"
#include "gui/frame_window.h"

namespace glossek {

class Tfrm_gen;
class Tfrm_tcv;

class ProgramWindows {
public:
    // `program_path` gives the application title of the error boxes.
    ProgramWindows(AppState& state, Dialogs& dialogs, const QString& program_path);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // The language, the code pages, then General data's start with the command line.
    void start(const CommandLineJob& command);

    Tmdi_glk& frame() { return *frame_; }

private:
    std::unique_ptr<Tmdi_glk> frame_;
    Tfrm_tcv* frm_tcv_;
    Tfrm_gen* frm_gen_;
};

}  // namespace glossek
