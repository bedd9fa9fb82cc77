// SPDX-License-Identifier: MIT
// Bytes of text looked at eight at a time: masks that mark, by the top bit of each byte of a
// 64-bit word, the bytes of a kind. Without its top bit, a byte plus up to 0x80 carries into
// that bit only, never into the next byte, so each byte is judged on its own.
#pragma once

#include <cstdint>

namespace glossek::byte_masks {

inline constexpr unsigned char kCtrlZ = 0x1A;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
inline constexpr std::uint64_t kLowBits = ~kHighBits;

inline constexpr bool is_lower(unsigned char b) {
    return b >= 'a' && b <= 'z';
}

// Control bytes that text does not hold: not TAB, LF, FF, CR, Ctrl-Z or ESC (printer and
// screen sequences in DOS reports).
inline constexpr bool is_binary_control(unsigned b) {
    return b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0C && b != 0x0D && b != kCtrlZ && b != 0x1B;
}

// The bytes equal to `value`: those whose difference from it, plus 0x7F, does not carry.
inline std::uint64_t bytes_equal(std::uint64_t word, unsigned char value) {
    const std::uint64_t bits = word ^ (0x0101010101010101ULL * value);
    return ~(((bits & kLowBits) + kLowBits) | bits) & kHighBits;
}

// The bytes below 0x20: plus 0x60, they do not carry.
inline std::uint64_t below_space(std::uint64_t word) {
    return ~(((word & kLowBits) + 0x6060606060606060ULL) | word) & kHighBits;
}

// The bytes from 'a' to 'z'.
inline std::uint64_t lower_letters(std::uint64_t word) {
    const std::uint64_t bits = word & kLowBits;
    const std::uint64_t from_a = bits + 0x1F1F1F1F1F1F1F1FULL;  // carries: at least 'a'
    const std::uint64_t past_z = bits + 0x0505050505050505ULL;  // carries: past 'z'
    return from_a & ~past_z & ~word & kHighBits;
}

// How many bytes a mask marks.
inline std::uint64_t marks_in(std::uint64_t mask) {
    return ((mask >> 7) * 0x0101010101010101ULL) >> 56;
}

}  // namespace glossek::byte_masks
