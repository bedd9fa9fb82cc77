// SPDX-License-Identifier: MIT
// The conversion engine: reads the job's input line by line, converts, writes the output.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "conversion/job.h"
#include "files/line_scan.h"
#include "pages/byte_table.h"
#include "pages/code_pages.h"
#include "table/table.h"

namespace glossek {

inline constexpr long long kViewerLineLimit = 1000;
// A viewer line longer than this is cut to it: nobody reads more on one line, and laying
// out a line of megabytes would hold the window for nothing.
inline constexpr std::size_t kViewerLineBytes = 64 * 1024;

// What a conversion started from the window shows while it runs.
class GenerateObserver {
public:
    virtual ~GenerateObserver() = default;
    // Each of the first kViewerLineLimit result lines, in order, each cut to
    // kViewerLineBytes.
    virtual void result_line(std::string_view line) = 0;
    // The progress position (0 to 100), by the bytes of the input read, each time it
    // changes; 100 once the input has been read.
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

// Memory ran out while a line was converted: the input file, the line's number and how
// many bytes of it had been read by then (the whole line, or as far as it got).
class OutOfMemoryError : public std::runtime_error {
public:
    OutOfMemoryError(std::string file, long long line, std::uint64_t line_bytes);
    const std::string& file() const { return file_; }
    long long line() const { return line_; }
    std::uint64_t line_bytes() const { return line_bytes_; }

private:
    std::string file_;
    long long line_;
    std::uint64_t line_bytes_;
};

// Characters of a code page way that had no exact counterpart in the target page and took
// a best fit or '?' (an ill-formed UTF-8 sequence counts as one).
struct LossyCount {
    std::uint64_t characters = 0;
    long long first_line = 0;  // the line of the first of them; 0 when there is none
};

// The processor's ways a conversion takes: the fastest at hand, unless a test chooses others.
struct Kernels {
    Kernel table = best_kernel();
    LineScan scan = best_line_scan();
};

// How far a line of the table way may grow (README, "Replacement budgets"). Tests lower
// them; a run reads the memory at its start.
struct LineLimits {
    // Across all the pairs of the table, a line may come to max(floor, factor x the line as
    // read) bytes.
    std::uint64_t table_floor = std::uint64_t{256} << 20;
    std::uint64_t table_factor = 64;
    // What the system can still give (memory_room); 0: read when the run starts. A line
    // never grows, nor is read, past a share of it that leaves room for its copies.
    std::uint64_t memory = 0;
};

// trunc(bytes_read * 100 / input_size), at most 100; 0 when the size is not known (0).
int progress_position(std::uint64_t bytes_read, std::uint64_t input_size);

// Converts the job's input into its output by the way given (the table way applies the
// table's first pair_count pairs). With an observer (the window)
// the first result lines and the progress are reported; without one (batch mode) nothing
// is. Returns InputMissing, touching no file, when the input file does not exist. The
// output replaces the file of its name only once it is complete (see open_write): on any
// failure that file is as it was. The code page ways take a line of any length in parts,
// so their memory does not grow with it; so does the table way when its pairs compose into
// one map of bytes (BytewiseTable), and otherwise it holds one whole line at a time.
// In the code page ways `lossy`, when given, gets the characters without an exact
// counterpart. With UTF-8 as the Windows page, a byte order mark that begins the input of
// the Windows to DOS way is dropped.
// Throws TextIoError on a failed file operation, ReplacementGuardError (with the pair and
// line numbers, the input and the job's table file) for a pair past its budget or a line
// past the whole table's, and OutOfMemoryError, also for a line that would grow past the
// memory the system can give.
GenerateOutcome generate(ConversionJob& job, ConversionWay way, const ConversionTable& table,
                         const CodePagePair& pages, GenerateObserver* observer,
                         LossyCount* lossy = nullptr, const Kernels& kernels = {},
                         const LineLimits& limits = {});

}  // namespace glossek
