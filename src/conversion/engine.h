// The conversion engine: reads the job's input line by line, converts, writes the output.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "conversion/code_pages.h"
#include "conversion/job.h"
#include "table/table.h"

namespace glossek {

inline constexpr long long kViewerLineLimit = 1000;

// What a conversion started from the window shows while it runs.
class GenerateObserver {
public:
    virtual ~GenerateObserver() = default;
    // Each of the first kViewerLineLimit result lines, in order.
    virtual void result_line(std::string_view line) = 0;
    // The progress position (0 to 100), each time it changes.
    virtual void progress(int position) = 0;
    // Asked after every line: true ends the conversion with ConversionStopped.
    virtual bool stop_requested() { return false; }
};

// A conversion the user stopped before its end; the output file is left as it was.
class ConversionStopped : public std::runtime_error {
public:
    ConversionStopped() : std::runtime_error("The conversion was stopped") {}
};

enum class GenerateOutcome { Done, InputMissing };

// trunc(n * 100 / line_count), at most 100.
int progress_position(long long lines_done, std::int32_t line_count);

// Converts the job's input into its output by the way given. With an observer (the window)
// the first result lines and the progress are reported; without one (batch mode) nothing
// is. Returns InputMissing, touching no file, when the input file does not exist. Throws
// TextIoError on a failed file operation and ReplacementGuardError (with the pair and line
// numbers) for a pair that never ends.
GenerateOutcome Generate(ConversionJob& job, ConversionWay way, const ConversionTable& table,
                         const CodePagePair& pages, GenerateObserver* observer);

}  // namespace glossek
