#include "conversion/engine.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>

#include "conversion/replace.h"

namespace glossek {

namespace {

// The line through the table, in `out`.
std::string_view converted(std::string_view line, const unsigned char* map, std::string& out) {
    out.resize(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        out[i] = static_cast<char>(map[static_cast<unsigned char>(line[i])]);
    }
    return out;
}

// The line after the first `pair_count` pairs of the table. Only a line that some pair
// applies to is copied, into `changed`.
std::string_view apply_pairs(std::string_view line, const ConversionTable& table,
                             std::size_t pair_count, long long line_number, std::string& changed) {
    std::size_t k = 0;
    while (k < pair_count &&
           !pair_applies_to(line, table.pairs[k].char_from, table.pairs[k].char_to)) {
        ++k;
    }
    if (k == pair_count) {
        return line;
    }
    changed.assign(line);
    for (; k < pair_count; ++k) {
        const t_rpl& pair = table.pairs[k];
        try {
            replace_all_in_place(changed, pair.char_from, pair.char_to);
        } catch (const ReplacementGuardError& error) {
            throw ReplacementGuardError(error.reason(), k + 1, line_number, error.limit());
        }
    }
    return changed;
}

// One run of Generate: the files, the way, and what the window is shown.
class Conversion {
public:
    Conversion(ConversionJob& job, const unsigned char* map, bool whole_blocks,
               GenerateObserver* observer)
        : job_(job), map_(map), whole_blocks_(whole_blocks), observer_(observer) {}

    void code_page_lines();
    void table_lines(const ConversionTable& table, std::size_t pair_count);

    long long line_number() const { return n_; }
    std::uint64_t line_start() const { return line_start_; }

private:
    void long_line();
    // The window's share of a line: the first lines shown (through the map when the output
    // file applies it), the progress, and a chance to stop. Kept cheap for the lines that
    // are not shown: the progress position is worked out only near its next step.
    void show(std::string_view line, const unsigned char* map) {
        if (n_ <= kViewerLineLimit) {
            line = line.substr(0, kViewerLineBytes);
            observer_->result_line(map != nullptr ? converted(line, map, shown_) : line);
        }
        if (n_ >= next_step_) {
            const int position = progress_position(n_, job_.LineCount);
            if (position != last_position_) {
                observer_->progress(position);
                last_position_ = position;
                // A line or so before the next position, then line by line up to it.
                next_step_ =
                    position >= 100 || job_.LineCount <= 0
                        ? std::numeric_limits<long long>::max()
                        : static_cast<long long>((position + 1.0) * job_.LineCount / 100.0) - 1;
            } else {
                ++next_step_;
            }
        }
        if (observer_->stop_requested()) {
            throw ConversionStopped();
        }
    }

    ConversionJob& job_;
    const unsigned char* map_;
    bool whole_blocks_;  // the output file applies the map to whole blocks
    GenerateObserver* observer_;
    long long n_ = 0;
    std::uint64_t line_start_ = 0;
    int last_position_ = -1;
    long long next_step_ = 0;
    std::string changed_;
    std::string shown_;
};

void Conversion::code_page_lines() {
    TextLineFile& input = job_.InputFile;
    TextLineFile& output = job_.OutputFile;
    std::string_view line;
    while (!input.at_end()) {
        ++n_;
        line_start_ = input.position();
        // A line within the block is taken as it stands; a longer one in parts.
        if (!input.line_in_block(line, true)) {
            long_line();
            continue;
        }
        if (!whole_blocks_) {
            line = converted(line, map_, changed_);
        }
        output.write_line(line);
        if (observer_ != nullptr) {
            show(line, whole_blocks_ ? map_ : nullptr);
        }
    }
}

// The line's result ends at its first NUL; the rest of the line, up to its end, is read
// and dropped. Only what the viewer shows is kept.
void Conversion::long_line() {
    TextLineFile& input = job_.InputFile;
    TextLineFile& output = job_.OutputFile;
    const bool shown = observer_ != nullptr && n_ <= kViewerLineLimit;
    std::string raw;
    bool ended = false;
    while (!ended) {
        std::string_view part = input.next_line_part(ended);
        const void* nul = part.empty() ? nullptr : std::memchr(part.data(), '\0', part.size());
        if (nul != nullptr) {
            part = part.substr(
                0, static_cast<std::size_t>(static_cast<const char*>(nul) - part.data()));
        }
        if (shown && raw.size() < kViewerLineBytes) {
            raw.append(part.substr(0, kViewerLineBytes - raw.size()));
        }
        output.write_text(whole_blocks_ ? part : converted(part, map_, changed_));
        if (nul != nullptr && !ended) {
            input.skip_line();
            ended = true;
        }
    }
    output.end_line();
    if (observer_ != nullptr) {
        show(raw, map_);
    }
}

void Conversion::table_lines(const ConversionTable& table, std::size_t pair_count) {
    TextLineFile& input = job_.InputFile;
    TextLineFile& output = job_.OutputFile;
    while (!input.at_end()) {
        ++n_;
        line_start_ = input.position();
        std::string_view line = apply_pairs(input.next_line(), table, pair_count, n_, changed_);
        output.write_line(line);
        if (observer_ != nullptr) {
            show(line, nullptr);
        }
    }
}

}  // namespace

OutOfMemoryError::OutOfMemoryError(std::string file, long long line, std::uint64_t line_bytes)
    : std::runtime_error("Not enough memory for line " + std::to_string(line) + " (" +
                         std::to_string(line_bytes) + " bytes read of it)"),
      file_(std::move(file)),
      line_(line),
      line_bytes_(line_bytes) {}

int progress_position(long long lines_done, std::int32_t line_count) {
    if (line_count <= 0) {
        return 100;
    }
    double position = static_cast<double>(lines_done) * 100.0 / line_count;
    return position >= 100.0 ? 100 : static_cast<int>(position);
}

GenerateOutcome Generate(ConversionJob& job, ConversionWay way, const ConversionTable& table,
                         const CodePagePair& pages, GenerateObserver* observer) {
    if (!file_exists(job.InputName)) {
        return GenerateOutcome::InputMissing;
    }
    // The code page ways send each byte through their table, the table way its pairs.
    const unsigned char* map = way == ConversionWay::DosToWindows   ? pages.oem_to_ansi
                               : way == ConversionWay::WindowsToDos ? pages.ansi_to_oem
                                                                    : nullptr;
    // A table that keeps CR and LF (as every supported one does) can be applied by the
    // output file to whole blocks, line ends included; any other goes line by line.
    const bool whole_blocks = map != nullptr && map[0x0D] == 0x0D && map[0x0A] == 0x0A;

    job.InputFile.open_read(job.InputName);
    CloseOnExit input_guard(job.InputFile);
    job.OutputFile.open_write(job.OutputName, whole_blocks ? map : nullptr);
    CloseOnExit output_guard(job.OutputFile);

    const std::size_t pair_count =
        job.PairCount > 0 ? std::min(static_cast<std::size_t>(job.PairCount), table.pairs.size())
                          : 0;
    Conversion conversion(job, map, whole_blocks, observer);
    try {
        if (map != nullptr) {
            conversion.code_page_lines();
        } else {
            conversion.table_lines(table, pair_count);
        }
    } catch (const std::bad_alloc&) {
        // The guards remove the unfinished output: the old file stays as it was.
        throw OutOfMemoryError(job.InputName, conversion.line_number(),
                               job.InputFile.position() - conversion.line_start());
    }
    job.InputFile.close();
    job.OutputFile.close();
    return GenerateOutcome::Done;
}

}  // namespace glossek
