// SPDX-License-Identifier: MIT
// replace_all on an arbitrary line and pair: it ends (or stops the pair with its guard error)
// in bounded time and memory, the in-place form and a run whose first phase hands its text
// on in small pieces agree with it, a pair that does not lengthen the line is never stopped
// for growth, and where the plain rescanning procedure ends soon, the result is that
// procedure's.
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/replace.h"
#include "fuzz_support.h"
#include "support/replace_model.h"

namespace {

using glossek::fuzz::check;

// The expected result, or false when the procedure goes on too long to follow here.
bool reference(const std::string& line, const std::string& search, const std::string& replacement,
               std::string& result) {
    return glossek::test::model_replace_all(line, search, replacement, 64, result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // Two length bytes, then the search text, the replacement and the line. Their top bits
    // put the marker word into the line or the replacement, which blind mutation seldom finds;
    // bits 5 and 6 of the first pick the pieces the first phase hands on.
    const std::size_t search_size = std::min<std::size_t>(data[0] & 0x1F, size - 2);
    constexpr std::size_t kPieceSizes[] = {glossek::kMarkerPieceSize, 1, 2, 5};
    const std::size_t piece_size = kPieceSizes[(data[0] >> 5) & 3];
    const std::size_t replacement_size =
        std::min<std::size_t>(data[1] & 0x3F, size - 2 - search_size);
    const char* bytes = reinterpret_cast<const char*>(data) + 2;
    const std::string search(bytes, search_size);
    std::string replacement(bytes + search_size, replacement_size);
    std::string line(bytes + search_size + replacement_size,
                     size - 2 - search_size - replacement_size);
    if ((data[0] & 0x80) != 0) {
        line.insert(line.size() / 2, glossek::kMarkerWord);
    }
    if ((data[1] & 0x80) != 0) {
        replacement.insert(replacement.size() / 2, glossek::kMarkerWord);
    }

    std::string result;
    bool stopped = false;
    try {
        result = glossek::replace_all(line, search, replacement);
    } catch (const glossek::ReplacementGuardError& error) {
        stopped = true;
        check(replacement.size() > search.size() ||
                  error.reason() != glossek::ReplacementGuardError::Reason::Growth,
              "a pair that does not lengthen the line was stopped for growth");
    }
    std::string in_pieces;
    bool pieces_stopped = false;
    try {
        in_pieces = glossek::replace_all(
            line, search, replacement,
            glossek::replacement_budget(line.size(), search, replacement), piece_size);
    } catch (const glossek::ReplacementGuardError&) {
        pieces_stopped = true;
    }
    // How much the line holds at a time depends on the pieces, so only a pair that ends in
    // both runs must end alike.
    if (!stopped && !pieces_stopped) {
        check(in_pieces == result, "handed on in pieces, another result");
    }
    std::string in_place = line;
    bool in_place_stopped = false;
    try {
        glossek::replace_all_in_place(in_place, search, replacement);
    } catch (const glossek::ReplacementGuardError&) {
        in_place_stopped = true;
    }
    check(stopped == in_place_stopped, "in place stopped differently");
    if (!stopped) {
        check(in_place == result, "in place gave another result");
    }
    if (!glossek::pair_applies_to(line, search, replacement)) {
        check(!stopped && result == line, "a pair that does not apply changed the line");
    }
    std::string expected;
    if (reference(line, search, replacement, expected)) {
        check(!stopped && !pieces_stopped, "guard stopped a pair that ends");
        check(result == expected, "result differs from the rescanning procedure");
    }
    return 0;
}
