// SPDX-License-Identifier: MIT
// Code texts as a user may type them into the grid, in both code notations.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "table/table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using glossek::fuzz::check;
    if (size == 0) {
        return 0;
    }
    const bool hexa = (data[0] & 1) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string chars;
    try {
        chars = hexa ? glossek::codes_to_chars(text, "$", 2) : glossek::codes_to_chars(text, "", 3);
    } catch (const glossek::CodeTextError&) {
        return 0;
    }
    check(chars.size() <= text.size(), "more characters than code text");
    // What was read is shown again as codes; those must read back to the same bytes.
    const std::string codes = glossek::chars_to_codes(chars, hexa ? 'H' : 'D', hexa ? 2 : 3);
    const std::string again =
        hexa ? glossek::codes_to_chars(codes, "$", 2) : glossek::codes_to_chars(codes, "", 3);
    check(again == chars, "codes shown for the characters read back differently");
    return 0;
}
