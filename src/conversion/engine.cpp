// SPDX-License-Identifier: MIT
#include "conversion/engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/bytewise.h"
#include "conversion/memory_room.h"
#include "conversion/replace.h"
#include "files/file_names.h"
#include "pages/page_converter.h"

namespace glossek {

namespace {

// The size of a regular file, 0 for anything else (a pipe has no size to measure by).
std::uint64_t file_size(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)
               ? static_cast<std::uint64_t>(st.st_size)
               : 0;
}

// A line of the table way is held about four times over at most: as read, as the pairs
// change it, a pair's result and the buffers of its cascade. A fifth share is the margin.
constexpr std::uint64_t kLineShares = 5;

// The pairs of one run and how far they may grow a line.
struct PairRun {
    const ConversionTable& table;
    std::size_t pair_count;
    std::uint64_t memory_line;  // no line past this, read or grown
    const LineLimits& limits;
    const ConversionJob& job;
    BytewiseTable* bytewise;  // the pairs composed, when they compose
};

// The line after the first `pair_count` pairs of the table. Only a line that some pair
// applies to is copied, into `changed`.
std::string_view apply_pairs(std::string_view line, const PairRun& run, long long line_number,
                             std::string& changed) {
    const std::uint64_t table_cap =
        std::max(run.limits.table_floor, line.size() * run.limits.table_factor);
    const std::uint64_t cap = std::min(table_cap, run.memory_line);
    bool copied = false;
    for (std::size_t k = 0; k < run.pair_count; ++k) {
        const ReplacementPair& pair = run.table.pairs[k];
        try {
            if (copied) {
                replace_all_in_place(changed, pair.char_from, pair.char_to, cap);
            } else {
                copied = replace_all_to(line, pair.char_from, pair.char_to, cap, changed);
            }
        } catch (const ReplacementGuardError& error) {
            using Reason = ReplacementGuardError::Reason;
            if (error.reason() == Reason::TableGrowth && cap < table_cap) {
                throw OutOfMemoryError(run.job.input_name, line_number, cap);
            }
            throw ReplacementGuardError(error.reason(), k + 1, line_number, error.limit(),
                                        run.job.input_name, run.job.table_name);
        }
    }
    if (!copied) {
        return line;
    }
    release_replacement_scratch();
    return changed;
}

// The output's buffer as the sink of a bytewise table; the first kViewerLineBytes of the
// line kept for the viewer when it takes the line.
class OutputSink : public ByteSink {
public:
    OutputSink(TextLineFile& output, std::string* shown) : output_(output), shown_(shown) {}
    Room room(std::size_t minimum) override {
        const TextLineFile::Room room = output_.write_room(minimum);
        at_ = room.data;
        return {room.data, room.size};
    }
    void wrote(std::size_t size) override {
        if (shown_ != nullptr && shown_->size() < kViewerLineBytes) {
            shown_->append(at_, std::min(size, kViewerLineBytes - shown_->size()));
        }
        output_.wrote(size);
    }

private:
    TextLineFile& output_;
    std::string* shown_;
    const char* at_ = nullptr;
};

// One run of Generate: the files, the way, and what the window is shown.
class Conversion {
public:
    Conversion(ConversionJob& job, GenerateObserver* observer, LineScan scan,
               std::uint64_t input_size)
        : job_(job), observer_(observer), scan_(scan), input_size_(input_size) {}

    void code_page_lines(PageConverter& converter);
    void table_lines(const PairRun& run);

    // The window's bar full once the input has been read whole (up to a Ctrl-Z too).
    void show_end() {
        if (observer_ != nullptr && last_position_ != 100) {
            observer_->progress(100);
        }
    }
    long long line_number() const { return n_; }
    std::uint64_t line_start() const { return line_start_; }
    LossyCount lossy() const { return {converter_ ? converter_->lossy() : 0, first_lossy_}; }

private:
    void long_line();
    void bytewise_line(BytewiseTable& table);
    // The converted bytes straight into the output's buffer, and the line end.
    void emit(std::string_view part);
    void end_line();
    // After a line: the first lossy character's line, when it was on this one.
    void note_lossy(std::uint64_t before) {
        if (first_lossy_ == 0 && converter_->lossy() != before) {
            first_lossy_ = n_;
        }
    }
    // The window in the code page ways: the line (its first kViewerLineBytes at most)
    // converted again for the viewer, while the viewer takes lines.
    void show_converted(std::string_view line) {
        std::string_view result;
        if (n_ <= kViewerLineLimit) {
            line = line.substr(0, kViewerLineBytes);
            shown_.resize(viewer_converter_->max_output(line.size()) + 1);
            std::size_t size = viewer_converter_->convert(line.data(), line.size(), shown_.data());
            size += viewer_converter_->end_line(shown_.data() + size);
            result = {shown_.data(), size};
        }
        show(result);
    }
    // The window: the result line while the viewer takes lines, and the progress by the
    // bytes of the input read so far.
    void show(std::string_view line) {
        if (n_ <= kViewerLineLimit) {
            line = line.substr(0, kViewerLineBytes);
            observer_->result_line(line);
        }
        const std::uint64_t read = job_.input_file.position();
        if (read >= next_step_) {
            report_progress(read);
        }
        if (observer_->stop_requested()) {
            throw ConversionStopped();
        }
    }
    void report_progress(std::uint64_t read) {
        const int position = progress_position(read, input_size_);
        if (position != last_position_) {
            observer_->progress(position);
            last_position_ = position;
        }
        // Nothing more to say before the first byte of the next position.
        next_step_ = position >= 100 || input_size_ == 0
                         ? std::numeric_limits<std::uint64_t>::max()
                         : static_cast<std::uint64_t>((position + 1.0) * input_size_ / 100.0);
    }

    ConversionJob& job_;
    GenerateObserver* observer_;
    LineScan scan_;
    PageConverter* converter_ = nullptr;
    std::optional<PageConverter> viewer_converter_;  // its own state and count
    long long n_ = 0;
    std::uint64_t line_start_ = 0;
    long long first_lossy_ = 0;
    int last_position_ = -1;
    std::uint64_t input_size_ = 0;  // as the input was when the conversion began
    std::uint64_t next_step_ = 0;
    std::string changed_;
    std::string shown_;
};

void Conversion::emit(std::string_view part) {
    TextLineFile& output = job_.output_file;
    while (!part.empty()) {
        const TextLineFile::Room room = output.write_room(converter_->max_output(1));
        const std::size_t size = std::min(part.size(), converter_->input_for(room.size));
        output.wrote(converter_->convert(part.data(), size, room.data));
        part.remove_prefix(size);
    }
}

void Conversion::end_line() {
    TextLineFile& output = job_.output_file;
    const TextLineFile::Room room = output.write_room(3);
    std::size_t size = converter_->end_line(room.data);
    room.data[size] = '\r';
    room.data[size + 1] = '\n';
    output.wrote(size + 2);
}

void Conversion::code_page_lines(PageConverter& converter) {
    TextLineFile& input = job_.input_file;
    converter_ = &converter;
    if (observer_ != nullptr) {
        viewer_converter_.emplace(converter);
    }
    // The lines of a block are taken all at once where they can be: the table keeps the line
    // ends as they are, and the lines hold no NUL and end with CR LF. The window goes line by
    // line while its viewer takes lines, then by runs of lines, its bar moved after each.
    const bool keeps_line_ends = converter.keeps_line_ends();
    if (converter.reads_utf8() && !input.at_end()) {
        input.skip_prefix(kUtf8ByteOrderMark);
    }
    std::string_view line;
    std::size_t count = 0;
    while (!input.at_end()) {
        const bool at_once = keeps_line_ends && (observer_ == nullptr || n_ >= kViewerLineLimit);
        if (at_once && input.whole_lines(line, count, scan_)) {
            const std::uint64_t before = converter.lossy();
            emit(line);
            if (first_lossy_ == 0 && converter.lossy() != before) {
                const std::size_t at = converter.first_lossy(line.data(), line.size());
                first_lossy_ = n_ + 1 + std::count(line.begin(), line.begin() + at, '\r');
            }
            n_ += static_cast<long long>(count);
            if (observer_ != nullptr) {
                show({});
            }
            continue;
        }
        ++n_;
        line_start_ = input.position();
        // A line within the block is taken as it stands; a longer one in parts.
        if (!input.line_in_block(line, true)) {
            long_line();
            continue;
        }
        const std::uint64_t before = converter.lossy();
        emit(line);
        end_line();
        note_lossy(before);
        if (observer_ != nullptr) {
            show_converted(line);
        }
    }
}

// The line's result ends at its first NUL; the rest of the line, up to its end, is read
// and dropped. Only what the viewer shows is kept.
void Conversion::long_line() {
    TextLineFile& input = job_.input_file;
    const bool viewed = observer_ != nullptr && n_ <= kViewerLineLimit;
    const std::uint64_t before = converter_->lossy();
    std::string raw;
    bool ended = false;
    while (!ended) {
        std::string_view part = input.next_line_part(ended);
        const void* nul = part.empty() ? nullptr : std::memchr(part.data(), '\0', part.size());
        if (nul != nullptr) {
            part = part.substr(
                0, static_cast<std::size_t>(static_cast<const char*>(nul) - part.data()));
        }
        if (viewed && raw.size() < kViewerLineBytes) {
            raw.append(part.substr(0, kViewerLineBytes - raw.size()));
        }
        emit(part);
        if (nul != nullptr && !ended) {
            input.skip_line();
            ended = true;
        }
    }
    end_line();
    note_lossy(before);
    if (observer_ != nullptr) {
        show_converted(raw);
    }
}

// A line through a bytewise table, in parts as it is read: memory does not grow with it.
void Conversion::bytewise_line(BytewiseTable& table) {
    TextLineFile& input = job_.input_file;
    shown_.clear();
    OutputSink sink(job_.output_file,
                    observer_ != nullptr && n_ <= kViewerLineLimit ? &shown_ : nullptr);
    bool ended = false;
    while (!ended) {
        const std::string_view part = input.next_line_part(ended);
        table.feed(part, ended, sink);
    }
    job_.output_file.end_line();
    if (observer_ != nullptr) {
        show(shown_);
    }
}

void Conversion::table_lines(const PairRun& run) {
    TextLineFile& input = job_.input_file;
    TextLineFile& output = job_.output_file;
    input.limit_line(run.memory_line);
    while (!input.at_end()) {
        ++n_;
        line_start_ = input.position();
        if (run.bytewise != nullptr) {
            bytewise_line(*run.bytewise);
            continue;
        }
        std::string_view line = apply_pairs(input.next_line(), run, n_, changed_);
        output.write_line(line);
        if (observer_ != nullptr) {
            show(line);
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

int progress_position(std::uint64_t bytes_read, std::uint64_t input_size) {
    if (input_size == 0) {
        return 0;
    }
    const double position = static_cast<double>(bytes_read) * 100.0 / input_size;
    return position >= 100.0 ? 100 : static_cast<int>(position);
}

GenerateOutcome generate(ConversionJob& job, ConversionWay way, const ConversionTable& table,
                         const CodePagePair& pages, GenerateObserver* observer, LossyCount* lossy,
                         const Kernels& kernels, const LineLimits& limits) {
    if (!file_exists(job.input_name)) {
        return GenerateOutcome::InputMissing;
    }
    // The code page ways send each byte through the pair's tables, the table way its pairs.
    std::optional<PageConverter> converter;
    if (way != ConversionWay::AuxiliaryTable) {
        converter.emplace(pages, way == ConversionWay::DosToWindows, kernels.table);
    }

    job.input_file.open_read(job.input_name);
    CloseOnExit input_guard(job.input_file);
    job.output_file.open_write(job.output_name);
    CloseOnExit output_guard(job.output_file);

    const std::size_t pair_count = std::min(table.pair_count, table.pairs.size());
    Conversion conversion(job, observer, kernels.scan,
                          observer != nullptr ? file_size(job.input_name) : 0);
    try {
        if (converter) {
            conversion.code_page_lines(*converter);
        } else {
            std::optional<BytewiseTable> bytewise =
                BytewiseTable::compose(table, pair_count, limits);
            // A bytewise table never holds a line: the memory left need not be read.
            const std::uint64_t room = bytewise             ? 0
                                       : limits.memory != 0 ? limits.memory
                                                            : memory_room();
            conversion.table_lines(
                {table, pair_count,
                 bytewise ? std::numeric_limits<std::uint64_t>::max() : room / kLineShares, limits,
                 job, bytewise ? &*bytewise : nullptr});
        }
    } catch (const std::bad_alloc&) {
        // The guards remove the unfinished output: the old file stays as it was.
        throw OutOfMemoryError(job.input_name, conversion.line_number(),
                               job.input_file.position() - conversion.line_start());
    }
    conversion.show_end();
    job.input_file.close();
    job.output_file.close();
    if (lossy != nullptr) {
        *lossy = conversion.lossy();
    }
    return GenerateOutcome::Done;
}

}  // namespace glossek
