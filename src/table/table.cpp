// SPDX-License-Identifier: MIT
#include "table/table.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace glossek {

namespace {

bool is_blank_or_control(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view trim_controls(std::string_view text) {
    while (!text.empty() && is_blank_or_control(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank_or_control(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The integer value of a prefixed group: leading blanks skipped, then "$" and hexadecimal
// digits, or an optional sign and decimal digits, and nothing else; 32 bits at most.
bool parse_integer(std::string_view text, std::int32_t& value) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    if (text.front() == '$') {
        text.remove_prefix(1);
        if (text.empty()) {
            return false;
        }
        std::uint64_t v = 0;
        for (char c : text) {
            int d = digit_value(c);
            if (d < 0) {
                return false;
            }
            v = v * 16 + static_cast<std::uint64_t>(d);
            if (v > std::numeric_limits<std::uint32_t>::max()) {
                return false;
            }
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return true;
    }
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            return false;
        }
    }
    v = negative ? -v : v;
    if (v > std::numeric_limits<std::int32_t>::max() ||
        v < std::numeric_limits<std::int32_t>::min()) {
        return false;
    }
    value = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace

bool is_notation(std::string_view keyword) {
    return keyword == kNotationChar || keyword == kNotationHexa || keyword == kNotationDeci;
}

ReplacementPair& ConversionTable::record(std::size_t k) {
    if (pairs.size() < k) {
        pairs.resize(k);
    }
    return pairs[k - 1];
}

CodeTextError::CodeTextError(std::string_view prefix, std::string_view code)
    : std::runtime_error("'" + std::string(prefix) + std::string(code) +
                         "' is not a valid integer value"),
      code_(code) {}

CodeTextError::CodeTextError(PastRange, const std::string& message, std::string range_group)
    : std::runtime_error(message), code_(range_group), range_group_(std::move(range_group)) {}

CodeTextError CodeTextError::out_of_range(const std::string& group) {
    return {PastRange{}, "'" + group + "' is past 255, the largest code", group};
}

std::string codes_to_chars(std::string_view text, std::string_view prefix, std::size_t width) {
    std::string result;
    while (!text.empty()) {
        std::string_view group = text.substr(0, width);
        text = trim_controls(text.substr(group.size()));
        std::string prefixed = std::string(prefix) + std::string(group);
        std::int32_t code = 0;
        if (!parse_integer(prefixed, code)) {
            throw CodeTextError(prefix, group);
        }
        result += static_cast<char>(static_cast<std::uint32_t>(code) & 0xFF);
    }
    return result;
}

std::string chars_to_codes(std::string_view chars, char kind, std::size_t width) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    const bool hexa = kind == 'H' || kind == 'h';
    std::string result;
    for (char c : chars) {
        unsigned code = static_cast<unsigned char>(c);
        std::string text;
        if (hexa) {
            do {
                text.insert(text.begin(), kHexDigits[code % 16]);
                code /= 16;
            } while (code != 0);
            while (text.size() < width) {
                text.insert(text.begin(), '0');
            }
        } else {
            text = std::to_string(code);
            while (text.size() < width) {
                text.insert(text.begin(), '0');
            }
            if (text.size() > width) {
                text.erase(0, text.size() - width);
            }
        }
        result += text;
        result += ' ';
    }
    return std::string(trim_controls(result));
}

CodeSideCheck check_code_side(std::string_view text, std::string_view notation) {
    const bool hexa = notation == kNotationHexa;
    if (!hexa && notation != kNotationDeci) {
        return {};
    }
    const std::size_t width = hexa ? 2 : 3;
    while (!text.empty()) {
        const std::string_view group = text.substr(0, width);
        text.remove_prefix(group.size());
        unsigned value = 0;
        for (char c : group) {
            const int digit = hexa ? digit_value(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
            if (digit < 0) {
                return {CodeFault::NotCodes, std::string(group)};
            }
            value = value * (hexa ? 16 : 10) + static_cast<unsigned>(digit);
        }
        if (value > 255) {
            return {CodeFault::OutOfRange, std::string(group)};
        }
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    }
    return {};
}

std::string decode_side(std::string_view text, std::string_view notation) {
    if (notation == kNotationHexa) {
        return codes_to_chars(text, "$", 2);
    }
    if (notation == kNotationDeci) {
        return codes_to_chars(text, "", 3);
    }
    return std::string(text);
}

std::string encode_side(std::string_view chars, std::string_view notation) {
    if (notation == kNotationHexa) {
        return chars_to_codes(chars, 'H', 2);
    }
    if (notation == kNotationDeci) {
        return chars_to_codes(chars, 'D', 3);
    }
    return std::string(chars);
}

}  // namespace glossek
