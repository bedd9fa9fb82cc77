// SPDX-License-Identifier: MIT
// The job's start state and what the command line fills in, without any window.
#pragma once

#include <exception>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "conversion/engine.h"
#include "conversion/go_check.h"
#include "table/table_file.h"

namespace glossek {

struct StartUpResult {
    enum class Step {
        ShowGeneralData,  // nothing to run: the window takes over
        TableMissing,     // the table named on the command line does not exist
        TableRefused,     // it exists but could not be read or was refused (see table_error)
        Converted,        // the batch conversion ran to its end
        InputMissing,     // the batch conversion found no input file
        Refused,          // the batch conversion's table is its input or output (`refusal`)
    };
    Step step = Step::ShowGeneralData;
    GoRefusal refusal = GoRefusal::None;
    std::vector<TableRow> table_rows;  // the rows to show after a table was loaded
    std::exception_ptr table_error;
    LossyCount lossy;  // of a batch conversion through the code pages
};

// Puts the job in its start state and applies the command line: names, way, table, and with
// "R" the conversion itself (batch mode). A conversion whose input or output is its table
// file (by name or by identity) is refused before anything is read or written. Errors of
// the conversion are thrown, and FolderUnknownError for a relative name that cannot be
// made absolute (nothing is then filled in).
StartUpResult apply_command_line(AppState& state, const CommandLineJob& command);

}  // namespace glossek
