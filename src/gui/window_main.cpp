// The window program: started by `glossek` in its place when a window is to open, with the
// same parameters, so that batch mode never loads the window toolkit.
#include <QApplication>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/batch.h"
#include "app/side_files.h"
#include "conversion/job.h"
#include "gui/program_icon.h"
#include "gui/qt_dialogs.h"
#include "gui/windows.h"

int main(int argc, char** argv) {
    using namespace glossek;
    // Taken before the toolkit reads the options it knows from the command line.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string program_path = argc > 0 ? argv[0] : "glossek";
    QApplication application(argc, argv);
    QApplication::setWindowIcon(program_icon());

    AppState state;
    state.ProgramDir = program_folder();
    state.SettingsDir = settings_folder_for(state.ProgramDir);
    state.StartDir = current_folder();
    const CommandLineJob command = interpret_parameters(parse_parameters(args), state.StartDir);

    QtDialogs dialogs;
    ProgramWindows windows(state, dialogs, QString::fromLocal8Bit(program_path.c_str()));
    dialogs.set_owner(&windows.frame());
    windows.start(command);
    windows.frame().show();
    QApplication::exec();
    return 1;
}
