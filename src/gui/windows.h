// SPDX-License-Identifier: MIT
// The program's windows put together: the frame, its four children in their fixed order,
// each menu item connected to the window whose command it is, and the start.
#pragma once

#include <memory>

#include "app/app_state.h"
#include "app/command_line.h"
#include "gui/dialogs.h"
#include "gui/frame_window.h"

namespace glossek {

class FolderDialog;
class GeneralDataWindow;
class TableWindow;

class ProgramWindows {
public:
    ProgramWindows(AppState& state, Dialogs& dialogs);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // The language, the code pages, then General data's start with the command line. An
    // input that is a folder opens File, Convert a folder once the frame is shown, its
    // names filled in; General data takes the way and the table.
    void start(const CommandLineJob& command);

    FrameWindow& frame() { return *frame_; }

private:
    std::unique_ptr<FrameWindow> frame_;
    TableWindow* table_window_;
    GeneralDataWindow* general_data_;
    FolderDialog* folder_dialog_;
};

}  // namespace glossek
