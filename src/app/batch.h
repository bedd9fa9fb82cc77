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

// A message as one line for a terminal: the LF CR join becomes ": ", CP1252 becomes UTF-8.
std::string terminal_text(const std::string& message);

// What --help and --version print.
std::string usage_text();
std::string version_text();

// The folder of the running program, ending with "/".
std::string program_folder();

// The process's current folder, or nothing when the system cannot say (deleted, too long).
std::string current_folder();

}  // namespace glossek
