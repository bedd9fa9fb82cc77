// Program entry: the command line converts at once with "R"; otherwise the window starts.
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/batch.h"
#include "app/side_files.h"
#include "app/window_start.h"
#include "conversion/job.h"

int main(int argc, char** argv) {
    using namespace glossek;
    // Past a file-size limit a write must fail with an error the program reports, rather
    // than end the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    // Relative names on the command line mean the folder the user stands in, so they are
    // made absolute before the program moves to its own folder.
    const CommandLineJob command = interpret_parameters(parse_parameters(args), current_folder());
    AppState state;
    state.ProgramDir = program_folder();
    state.SettingsDir = settings_folder_for(state.ProgramDir);
    if (::chdir(state.ProgramDir.c_str()) != 0) {
        std::cerr << "glossek: cannot enter the program's folder " << state.ProgramDir << '\n';
    }
    // Batch mode needs no display; it ends here unless its table could not be used.
    if (command.run && !run_batch(state, command, std::cerr)) {
        return 1;
    }
    if (!display_available()) {
        if (command.run) {
            // A command-line conversion whose table stopped it: that has been said; only
            // the window that would follow cannot open.
            std::cerr << "glossek: " << terminal_text(state.texts.lng_no_window) << '\n';
            return 1;
        }
        std::cerr
            << "glossek: no display to show the window on (DISPLAY is not set).\n"
               "Convert from the command line instead: glossek INPUT OUTPUT W|D|Atable.glk R\n";
        return 1;
    }
    AppState window_state;
    window_state.ProgramDir = state.ProgramDir;
    window_state.SettingsDir = state.SettingsDir;
    run_window(window_state, command, argc, argv);
    return 1;
}
