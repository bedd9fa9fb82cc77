// SPDX-License-Identifier: MIT
// Command-line mode: converts without any window or display.
#pragma once

#include <exception>
#include <iostream>
#include <ostream>

#include "app/app_state.h"
#include "app/command_line.h"

namespace glossek {

// Reads the language and the code pages, then applies the command line: a file, or a whole
// folder when the input is one. Every reason for not converting goes to `err`, a folder
// run's report to `out`. Returns true when the program must go on with its window (the
// table named on the command line was missing or refused), false when it ends.
bool run_batch(AppState& state, const CommandLineJob& command, std::ostream& err,
               std::ostream& out = std::cout);

// What batch mode and --info read first: the language, then the pair of code pages in force.
// What stands in the way goes to `err`; false when the run must stop.
bool set_up_batch(AppState& state, std::ostream& err);

// GLOSSEK_REPORT=1: scripts rely on silence after success, so what was lost, and a folder
// run's report, are said only when asked for.
bool report_wanted();

// "glossek: FILE: TEXT" lines on `err` for an error of the core.
void report_error(std::ostream& err, const std::exception_ptr& error, const LanguageTexts& texts);

}  // namespace glossek
