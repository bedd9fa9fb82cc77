// The job's start state and what the command line fills in, without any window.
#pragma once

#include <exception>
#include <vector>

#include "app/app_state.h"
#include "conversion/job.h"
#include "table/table_file.h"

namespace glossek {

struct StartUpResult {
    enum class Step {
        ShowGeneralData,  // nothing to run: the window takes over
        TableMissing,     // the table named on the command line does not exist
        TableRefused,     // it exists but could not be read or was refused (see table_error)
        Converted,        // the batch conversion ran to its end
        InputMissing,     // the batch conversion found no input file
    };
    Step step = Step::ShowGeneralData;
    std::vector<TableRow> table_rows;  // the rows to show after a table was loaded
    std::exception_ptr table_error;
};

// Puts the job in its start state and applies the command line: names, way, table, and with
// "R" the conversion itself (batch mode). Errors of the conversion are thrown.
StartUpResult apply_command_line(AppState& state, const CommandLineJob& command);

}  // namespace glossek
