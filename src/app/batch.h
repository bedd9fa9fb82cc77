// SPDX-License-Identifier: MIT
// Command-line mode: converts without any window or display.
#pragma once

#include <ostream>

#include "app/app_state.h"
#include "app/command_line.h"

namespace glossek {

// Reads the language and the code pages, then applies the command line. Every reason for
// not converting goes to `err`. Returns true when the program must go on with its window
// (the table named on the command line was missing or refused), false when it ends.
bool run_batch(AppState& state, const CommandLineJob& command, std::ostream& err);

}  // namespace glossek
