// SPDX-License-Identifier: MIT
// glossek INDIR OUTDIR WAY R: a whole folder tree converted without a window.
#pragma once

#include <ostream>

#include "app/app_state.h"
#include "app/command_line.h"

namespace glossek {

// Refuses what the folders and the table would not allow before anything is written, then
// runs the tree: nothing is said on success; each file that fails gets its line on `err`.
// With GLOSSEK_REPORT=1, a line per file on `out` (the result, the characters without exact
// counterpart, the line of the first or "-", the relative path, tab-separated) and the
// summary on `err`. The language and the code pages are in force already.
void run_folder_batch(AppState& state, const CommandLineJob& command, std::ostream& out,
                      std::ostream& err);

}  // namespace glossek
