#include "conversion/engine.h"

#include <algorithm>
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

}  // namespace

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
    long long n = 0;
    int last_position = -1;
    std::string changed;
    std::string shown;
    while (!job.InputFile.at_end()) {
        // The code page ways end a line at its first NUL.
        std::string_view line = job.InputFile.next_line(map != nullptr);
        ++n;
        if (map == nullptr) {
            line = apply_pairs(line, table, pair_count, n, changed);
        } else if (!whole_blocks) {
            line = converted(line, map, changed);
        }
        job.OutputFile.write_line(line);
        if (observer != nullptr) {
            if (n <= kViewerLineLimit) {
                observer->result_line(whole_blocks ? converted(line, map, shown) : line);
            }
            int position = progress_position(n, job.LineCount);
            if (position != last_position) {
                observer->progress(position);
                last_position = position;
            }
            if (observer->stop_requested()) {
                throw ConversionStopped();
            }
        }
    }
    job.InputFile.close();
    job.OutputFile.close();
    return GenerateOutcome::Done;
}

}  // namespace glossek
