// SPDX-License-Identifier: MIT
// The text file reader on arbitrary bytes, through each of its reading calls, against a
// plain model: data ends at the first Ctrl-Z, CR or CR LF ends a line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/text_file.h"
#include "fuzz_support.h"

namespace {

using glossek::fuzz::check;

struct ModelLine {
    std::string text;
    bool ended = false;  // by CR (or CR LF), not by the end of the data
};

std::vector<ModelLine> model_lines(std::string data) {
    data = data.substr(0, data.find('\x1A'));
    std::vector<ModelLine> lines;
    std::size_t at = 0;
    while (at < data.size()) {
        const std::size_t cr = data.find('\r', at);
        if (cr == std::string::npos) {
            lines.push_back({data.substr(at), false});
            break;
        }
        lines.push_back({data.substr(at, cr - at), true});
        at = cr + 1 + (cr + 1 < data.size() && data[cr + 1] == '\n' ? 1 : 0);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const glossek::fuzz::ScratchFile scratch("text");
    if (size < 3) {
        return 0;
    }
    // Filler in front moves the fuzzed bytes across the reader's block boundaries.
    const std::size_t filler = (std::size_t{data[0]} << 8 | data[1]) * 3;
    const std::uint8_t mode = data[2];
    std::string bytes(filler, 'x');
    bytes.append(reinterpret_cast<const char*>(data) + 3, size - 3);
    scratch.write(bytes);
    const std::vector<ModelLine> lines = model_lines(bytes);

    glossek::TextLineFile file;
    file.open_read(scratch.name());
    std::size_t k = 0;       // the model's current line
    std::size_t offset = 0;  // how much of it read_field has taken
    std::size_t op = 0;
    auto model_at_end = [&] {
        return k >= lines.size() ||
               (k + 1 == lines.size() && !lines[k].ended && offset == lines[k].text.size());
    };
    while (!file.at_end()) {
        check(!model_at_end(), "at_end false after the last line");
        const std::string_view rest = std::string_view(lines[k].text).substr(offset);
        // Mode 0 to 2 use one call throughout; the others mix them, driven by the input.
        const unsigned call =
            mode < 3 || size == 3 ? mode % 3 : (mode + data[3 + op % (size - 3)]) % 5;
        ++op;
        switch (call) {
            case 0:
                check(file.read_line() == rest, "read_line");
                break;
            case 1:
                check(file.next_line() == rest, "next_line");
                break;
            case 2:
                check(file.next_line(true) == rest.substr(0, rest.find('\0')),
                      "next_line stopping at NUL");
                break;
            case 3:
                file.skip_line();
                break;
            default: {
                const int width = data[3 + (op * 7) % (size - 3)] % 9;
                const std::string field = file.read_field(width);
                check(field == rest.substr(0, static_cast<std::size_t>(width)), "read_field");
                offset += field.size();
                if (!field.empty()) {
                    continue;
                }
                // Nothing taken (width 0, or at the line end): finish the line, so the loop ends.
                check(file.read_line() == rest, "read_line after the fields");
                break;
            }
        }
        ++k;
        offset = 0;
    }
    check(model_at_end(), "at_end true before the last line");
    file.close();
    return 0;
}
