// SPDX-License-Identifier: MIT
// The decisions of the Input and Go commands that need no window, and the refusals that
// batch mode makes alike.
#pragma once

#include <string>

#include "conversion/job.h"
#include "pages/identify.h"

namespace glossek {

// The input name with ".cvt" put before its extension (the part from the last "." after
// the last "/"): /docs/letter.txt gives /docs/letter.cvt.txt, README gives README.cvt.
std::string proposed_output_name(const std::string& input_name);

// The first name check of the Go command that fails, in the order they are made. Two names
// are the same file when they are the same string (two empty names included) or name the
// same existing file (another spelling, a symbolic or a hard link): see same_file.
enum class GoRefusal { None, OutputUnnamed, SameInputTable, SameOutputTable, SameInputOutput };
GoRefusal check_go_names(const ConversionJob& job);

// The table file may be neither the input, which it would be read as, nor the output, which
// would replace it: SameInputTable, SameOutputTable or None.
GoRefusal check_table_names(const std::string& input, const std::string& output,
                            const std::string& table);

// What the Go command does with the job's names, decided before anything changes.
struct GoDecision {
    GoRefusal refusal = GoRefusal::None;  // the first name check that fails
    bool ask_overwrite = false;           // both files exist: ask before replacing the output
    bool input_exists = false;            // the bar is shown and the end message follows
};
GoDecision decide_go(const ConversionJob& job);

// Whether converting a file of this reading by the way would do harm, so that the window
// asks first: DOS to Windows on a file that already reads as Windows text or UTF-8, Windows
// to DOS on one that reads as DOS text, any way on binary data.
bool would_harm(const FileReading& reading, ConversionWay way);

// Whether the file already reads as the way's target (the table way has none).
bool reads_as_target(const FileReading& reading, ConversionWay way);

}  // namespace glossek
