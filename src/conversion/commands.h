// The parts of the Input and Go commands that need no window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "conversion/job.h"

namespace glossek {

// The input name with ".cvt" put before its extension (the part from the last "." after
// the last "/"): /docs/letter.txt gives /docs/letter.cvt.txt, README gives README.cvt.
std::string proposed_output_name(const std::string& input_name);

// The first name check of the Go command that fails, in the order they are made. Two names
// are the same file when they are the same string (two empty names included) or name the
// same existing file (another spelling, a symbolic or a hard link): see same_file.
enum class GoRefusal { None, OutputUnnamed, SameInputTable, SameOutputTable, SameInputOutput };
GoRefusal check_go_names(const ConversionJob& job);

// What the Go command does with the job's names, decided before anything changes.
struct GoDecision {
    GoRefusal refusal = GoRefusal::None;  // the first name check that fails
    bool ask_overwrite = false;           // the output exists: ask before replacing it
    bool input_exists = false;            // the bar is shown and the end message follows
};
GoDecision decide_go(const ConversionJob& job);

// Reads the job's input file through its InputFile, hands each of the first
// kViewerLineLimit lines to `show` (cut to kViewerLineBytes), and sets LineCount to the number of
// lines (10000 for an empty file). Throws TextIoError.
void read_input_view(ConversionJob& job, const std::function<void(std::string_view)>& show);

}  // namespace glossek
