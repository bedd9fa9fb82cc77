// SPDX-License-Identifier: MIT
// Program entry: with "R" the command line converts at once, without any window; otherwise
// the window program is started in this one's place. This program loads no window toolkit.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/batch.h"
#include "app/command_line.h"
#include "app/info.h"
#include "app/side_files.h"
#include "lang/messages.h"

namespace {

constexpr const char* kWindowProgram = "glossek-window";

bool display_available() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace glossek;
    // Past a file-size limit a write must fail with an error the program reports, rather
    // than end the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
        std::cout << (args[0] == "--help" ? usage_text() : version_text());
        return std::cout.good() ? 0 : 1;
    }
    AppState state;
    state.program_dir = program_folder();
    state.settings_dir = settings_folder_for(state.program_dir);
    state.start_dir = current_folder();
    // What files read as, without converting them or opening a window.
    if (!args.empty() && args[0] == "--info") {
        if (args.size() == 1) {
            std::cerr << "glossek: --info: name the files to identify\n";
            return 1;
        }
        return run_info(state, {args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    const CommandLineJob command = interpret_parameters(parse_parameters(args), state.start_dir);
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
        std::cerr << "glossek: no display to show the window on (DISPLAY is not set).\n";
        return 1;
    }
    const std::string window_program = state.program_dir + kWindowProgram;
    ::execv(window_program.c_str(), argv);
    std::cerr << "glossek: the window cannot open: " << window_program << ": "
              << std::strerror(errno) << '\n';
    return 1;
}
