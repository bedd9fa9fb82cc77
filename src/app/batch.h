// Command-line mode: converts without any window or display.
#pragma once

#include <ostream>
#include <string>

#include "app/app_state.h"
#include "conversion/job.h"

namespace glossek {

// Reads the language and the code pages, then applies the command line. Every reason for
// not converting goes to `err`. Returns true when the program must go on with its window
// (the table named on the command line was missing or refused), false when it ends.
bool run_batch(AppState& state, const CommandLineJob& command, std::ostream& err);

// The language file beside the program, and the texts it selects.
void load_language(AppState& state);

// The program's own text (CP1252) for a terminal, in UTF-8: the LF CR join becomes ": ",
// and control bytes are shown as \xHH so that no text can drive the terminal. File names
// never go through it (see printable_name).
std::string terminal_text(const std::string& message);

// What --help and --version print.
std::string usage_text();
std::string version_text();

// The folder of the running program, ending with "/".
std::string program_folder();

// The process's current folder, or nothing when the system cannot say (deleted, too long).
std::string current_folder();

}  // namespace glossek
