// SPDX-License-Identifier: MIT
// UTF-8 to a DOS page on arbitrary bytes: the same output and count whether the text comes
// whole or in parts cut anywhere, never a control byte that was not one, and what comes out
// goes back to UTF-8 and in again unchanged. Each vector kernel the processor has writes and
// counts as the plain way, both ways.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "pages/code_pages.h"
#include "pages/page_converter.h"

namespace {

using glossek::fuzz::check;

std::string convert(glossek::PageConverter& converter, std::string_view text, std::size_t part) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += part) {
        const std::size_t size = std::min(part, text.size() - at);
        std::string room(converter.max_output(size), '\0');
        room.resize(converter.convert(text.data() + at, size, room.data()));
        out += room;
    }
    char last = 0;
    out.append(&last, converter.end_line(&last));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace glossek;
    if (size < 2) {
        return 0;
    }
    // The first byte picks the DOS page, the second the size of the parts.
    const auto& pages = supported_oem_pages();
    const CodePagePair pair = code_page_pair(pages[data[0] % pages.size()], kUtf8Page);
    const std::size_t part = 1 + data[1] % 9;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    PageConverter whole(pair, false, Kernel::Plain);
    PageConverter in_parts(pair, false, Kernel::Plain);
    const std::string out = convert(whole, text, text.size() + 1);
    check(convert(in_parts, text, part) == out, "the same in parts as whole");
    check(in_parts.lossy() == whole.lossy(), "the same count in parts as whole");
    PageConverter plain_to_utf8(pair, true, Kernel::Plain);
    const std::string text_in_utf8 = convert(plain_to_utf8, text, text.size() + 1);
    for (Kernel kernel : {Kernel::Avx2, Kernel::Avx512}) {
        if (!has_kernel(kernel)) {
            continue;
        }
        PageConverter vector(pair, false, kernel);
        check(convert(vector, text, part) == out && vector.lossy() == whole.lossy(),
              "a kernel reads UTF-8 as the plain way");
        PageConverter vector_to_utf8(pair, true, kernel);
        check(convert(vector_to_utf8, text, text.size() + 1) == text_in_utf8 &&
                  vector_to_utf8.lossy() == plain_to_utf8.lossy(),
              "a kernel writes UTF-8 as the plain way");
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

    PageConverter to_utf8(pair, true);
    PageConverter again(pair, false);
    const std::string utf8 = convert(to_utf8, out, out.size() + 1);
    check(convert(again, utf8, part) == out, "back to UTF-8 and in again unchanged");
    check(again.lossy() == 0 && to_utf8.lossy() == 0, "nothing lost the second time");
    return 0;
}
