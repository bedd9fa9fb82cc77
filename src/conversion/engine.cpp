#include "conversion/engine.h"

#include <cstring>
#include <string>

#include "conversion/replace.h"

namespace glossek {

namespace {

// One byte for one byte through the table, up to the first NUL, where the line ends.
void convert_code_page(std::string& line, const unsigned char* map) {
    std::size_t size = line.size();
    if (const void* nul = std::memchr(line.data(), '\0', size)) {
        size = static_cast<std::size_t>(static_cast<const char*>(nul) - line.data());
        line.resize(size);
    }
    auto* bytes = reinterpret_cast<unsigned char*>(line.data());
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = map[bytes[i]];
    }
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
    job.InputFile.open_read(job.InputName);
    CloseOnExit input_guard(job.InputFile);
    job.OutputFile.open_write(job.OutputName);
    CloseOnExit output_guard(job.OutputFile);

    const std::size_t pair_count =
        job.PairCount > 0
            ? std::min(static_cast<std::size_t>(job.PairCount), table.pairs.size())
            : 0;
    long long n = 0;
    int last_position = -1;
    std::string line;
    while (!job.InputFile.at_end()) {
        job.InputFile.read_line(line);
        ++n;
        switch (way) {
            case ConversionWay::DosToWindows:
                convert_code_page(line, pages.oem_to_ansi);
                break;
            case ConversionWay::WindowsToDos:
                convert_code_page(line, pages.ansi_to_oem);
                break;
            case ConversionWay::AuxiliaryTable:
                for (std::size_t k = 0; k < pair_count; ++k) {
                    const t_rpl& pair = table.pairs[k];
                    try {
                        replace_all_in_place(line, pair.char_from, pair.char_to);
                    } catch (const ReplacementGuardError& error) {
                        throw ReplacementGuardError(error.reason(), k + 1, n);
                    }
                }
                break;
        }
        job.OutputFile.write_text(line);
        job.OutputFile.end_line();
        if (observer != nullptr) {
            if (n <= kViewerLineLimit) {
                observer->result_line(line);
            }
            int position = progress_position(n, job.LineCount);
            if (position != last_position) {
                observer->progress(position);
                last_position = position;
            }
        }
    }
    job.InputFile.close();
    job.OutputFile.close();
    return GenerateOutcome::Done;
}

}  // namespace glossek
