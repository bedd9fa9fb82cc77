// SPDX-License-Identifier: MIT
// The auxiliary conversion table and its three cell notations.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace glossek {

inline constexpr std::string_view kNotationChar = "CHAR";
inline constexpr std::string_view kNotationHexa = "HEXA";
inline constexpr std::string_view kNotationDeci = "DECI";

// True for the three keywords exactly (case and blanks count).
bool is_notation(std::string_view keyword);

// One replacement pair: its two sides in characters (the only texts the engine uses) and
// as shown in each code notation.
struct ReplacementPair {
    std::string char_from;
    std::string char_to;
    std::string hexa_from;
    std::string hexa_to;
    std::string deci_from;
    std::string deci_to;
};

// The pairs in table order; record k of the users' numbering is pairs[k - 1]. The table
// grows as rows are added; records beyond the rows in use keep their texts. A conversion
// applies the first `pair_count` pairs: the rows the editor shows, or the pairs of the file
// last read.
struct ConversionTable {
    std::vector<ReplacementPair> pairs;
    std::size_t pair_count = 0;
    std::string notation;  // of the editor, or of the file last read

    // The record of pair k (1-based), made on demand.
    ReplacementPair& record(std::size_t k);
};

// A code text that is not a number: "'%s' is not a valid integer value", %s the group with
// its prefix, `code` the group as written; or, made by out_of_range, a code past 255, which
// the editor never turns into another byte.
class CodeTextError : public std::runtime_error {
public:
    CodeTextError(std::string_view prefix, std::string_view code);
    static CodeTextError out_of_range(const std::string& group);
    const std::string& code() const { return code_; }
    // The group past 255; empty for a text that is not a number.
    const std::string& range_group() const { return range_group_; }

private:
    struct PastRange {};
    CodeTextError(PastRange, const std::string& message, std::string range_group);
    std::string code_;
    std::string range_group_;
};

// Code text to characters. HEXA: prefix "$", width 2. DECI: empty prefix, width 3.
std::string codes_to_chars(std::string_view text, std::string_view prefix, std::size_t width);
// Characters to code text. HEXA: kind 'H', width 2. DECI: kind 'D', width 3.
std::string chars_to_codes(std::string_view chars, char kind, std::size_t width);

// Whether a side typed in a code notation keeps what was typed: groups as codes_to_chars
// cuts them, each of digits alone (hexadecimal ones in HEXA) and at most 255, with blanks
// between them. `group` is the first group at fault. Stored files are read by the looser
// codes_to_chars, which takes a code modulo 256 (files rely on it).
enum class CodeFault { None, NotCodes, OutOfRange };
struct CodeSideCheck {
    CodeFault fault = CodeFault::None;
    std::string group;
};
CodeSideCheck check_code_side(std::string_view text, std::string_view notation);

// The two routines above for a notation keyword; CHAR is the identity.
std::string decode_side(std::string_view text, std::string_view notation);
std::string encode_side(std::string_view chars, std::string_view notation);

}  // namespace glossek
