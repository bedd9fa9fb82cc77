// SPDX-License-Identifier: MIT
// UTF-8 to a DOS page on arbitrary bytes: the same output and count whether the text comes
// whole or in parts cut anywhere, never a control byte that was not one, and what comes out
// goes back to UTF-8 and in again unchanged. Each vector kernel the processor has writes and
// counts as the plain way, both ways.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "fuzz_support.h"
#include "pages/code_pages.h"
#include "pages/page_converter.h"

namespace {

using glossek::fuzz::check;

struct Converted {
    std::string bytes;
    std::uint64_t lossy = 0;
    bool operator==(const Converted&) const = default;
};

// A line through the converter in parts of `part` bytes, and what it lost.
Converted convert(glossek::PageConverter& converter, std::string_view text, std::size_t part) {
    const std::uint64_t before = converter.lossy();
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += part) {
        const std::size_t size = std::min(part, text.size() - at);
        std::string room(converter.max_output(size), '\0');
        room.resize(converter.convert(text.data() + at, size, room.data()));
        out += room;
    }
    char last = 0;
    out.append(&last, converter.end_line(&last));
    return {out, converter.lossy() - before};
}

// The converters are made once per page, way and kernel: their tables take far longer to
// build than a line to convert, and a line's end leaves nothing open.
glossek::PageConverter& converter(int page, bool to_windows, glossek::Kernel kernel) {
    static std::map<std::tuple<int, bool, glossek::Kernel>, glossek::PageConverter> made;
    const auto key = std::make_tuple(page, to_windows, kernel);
    auto found = made.find(key);
    if (found == made.end()) {
        found = made.emplace(key, glossek::PageConverter(
                                      glossek::code_page_pair(page, glossek::kUtf8Page), to_windows,
                                      kernel))
                    .first;
    }
    return found->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace glossek;
    if (size < 2) {
        return 0;
    }
    // The first byte picks the DOS page, the second the size of the parts.
    const auto& pages = supported_oem_pages();
    const int page = pages[data[0] % pages.size()];
    const std::size_t part = 1 + data[1] % 9;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    PageConverter& plain = converter(page, false, Kernel::Plain);
    const Converted whole = convert(plain, text, text.size() + 1);
    const std::string& out = whole.bytes;
    check(convert(plain, text, part) == whole, "the same in parts as whole");
    const Converted text_in_utf8 =
        convert(converter(page, true, Kernel::Plain), text, text.size() + 1);
    for (Kernel kernel : {Kernel::Avx2, Kernel::Avx512}) {
        if (has_kernel(kernel)) {
            check(convert(converter(page, false, kernel), text, part) == whole,
                  "a kernel reads UTF-8 as the plain way");
            check(convert(converter(page, true, kernel), text, text.size() + 1) == text_in_utf8,
                  "a kernel writes UTF-8 as the plain way");
        }
    }
    check(out.size() <= text.size(), "never longer than the UTF-8");

    std::size_t controls_in = 0;
    std::size_t controls_out = 0;
    for (char c : text) {
        controls_in += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? 1 : 0;
    }
    for (char c : out) {
        controls_out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? 1 : 0;
    }
    check(controls_out == controls_in, "control bytes only for control characters");

    const Converted utf8 = convert(converter(page, true, best_kernel()), out, out.size() + 1);
    check(convert(converter(page, false, best_kernel()), utf8.bytes, part) == Converted{out, 0} &&
              utf8.lossy == 0,
          "back to UTF-8 and in again unchanged, nothing lost the second time");
    return 0;
}
