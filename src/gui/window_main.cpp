// SPDX-License-Identifier: MIT
// The window program: started by `glossek` in its place when a window is to open, with the
// same parameters, so that batch mode never loads the window toolkit.
#include <QApplication>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/side_files.h"
#include "gui/program_icon.h"
#include "gui/qt_dialogs.h"
#include "gui/windows.h"

int main(int argc, char** argv) {
    using namespace glossek;
    // Taken before the toolkit reads the options it knows from the command line.
    const std::vector<std::string> args(argv + 1, argv + argc);
    QApplication application(argc, argv);
    QApplication::setWindowIcon(program_icon());

    AppState state;
    state.program_dir = program_folder();
    state.settings_dir = settings_folder_for(state.program_dir);
    state.start_dir = current_folder();
    const CommandLineJob command = interpret_parameters(parse_parameters(args), state.start_dir);

    QtDialogs dialogs;
    ProgramWindows windows(state, dialogs);
    dialogs.set_owner(&windows.frame());
    windows.start(command);
    windows.frame().show();
    QApplication::exec();
    return 1;
}
