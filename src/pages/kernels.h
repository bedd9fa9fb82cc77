// SPDX-License-Identifier: MIT
// The vector kernels of the table translation and of the two UTF-8 ways, one file per
// processor family, each compiled for its own instructions; called only where the processor
// has them (see has_kernel).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "pages/byte_table.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#define GLOSSEK_AVX2 1
#else
#define GLOSSEK_AVX2 0
#endif

namespace glossek {

// Bit k & 7 of byte k: the bit of a byte's low three bits, for a byte shuffle.
inline constexpr std::array<unsigned char, 64> kBitOf = [] {
    std::array<unsigned char, 64> bits{};
    for (std::size_t k = 0; k < bits.size(); ++k) {
        bits[k] = static_cast<unsigned char>(1 << (k & 7));
    }
    return bits;
}();

// As translate(); AVX2 needs at least 32 bytes.
std::size_t translate_avx2(const unsigned char* in, std::size_t size, unsigned char* out,
                           const ByteTable& table);
std::size_t translate_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                             const ByteTable& table);

// DOS to UTF-8 laid out for the kernels, for a page that keeps ASCII: the UTF-8 bytes of
// each byte from 0x80 (0 where its sequence is shorter; never 0 otherwise), and 0x80 for a
// byte the page leaves undefined (written as '?' and counted).
struct HighSequences {
    std::array<unsigned char, 128> first{};
    std::array<unsigned char, 128> second{};
    std::array<unsigned char, 128> third{};
    std::array<unsigned char, 128> undefined{};
    bool has_undefined = false;
};

// How far a UTF-8 kernel went from the start of its input: bytes read and written, and the
// characters on the way without an exact counterpart.
struct KernelProgress {
    std::size_t read = 0;
    std::size_t written = 0;
    std::uint64_t lossy = 0;
};

// DOS to UTF-8 in whole vectors; the bytes that fill no vector are left to the caller. `out`
// has room for 3 bytes per byte read and 4 more.
KernelProgress to_utf8_avx2(const unsigned char* in, std::size_t size, unsigned char* out,
                            const HighSequences& high);
KernelProgress to_utf8_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                              const HighSequences& high);

// UTF-8 to a DOS page that keeps ASCII, in whole vectors, as far as they hold only ASCII and
// well-formed two-byte sequences (a lead in the last byte waits for the next vector); the
// rest is left to the caller. `two_byte` is the DOS byte of U+0000 to U+07FF, plus 256 where
// it is no exact counterpart. Never writes past the bytes read.
KernelProgress from_utf8_avx2(const unsigned char* in, std::size_t size, unsigned char* out,
                              const std::uint32_t* two_byte);
// On AVX-512 the characters of two leads, `lead` (even) and the next, are looked up in a
// vector: their DOS bytes, and 0x80 for those that are no exact counterpart. The pair that
// holds most of the page's characters, so that most vectors need no other table.
struct TwoByteWindow {
    unsigned char lead = 0xC2;
    std::array<unsigned char, 128> bytes{};
    std::array<unsigned char, 128> lossy{};
};
KernelProgress from_utf8_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                                const std::uint32_t* two_byte, const TwoByteWindow& window);

// The DOS byte of each two-byte sequence of a vector, by the bit of its lead in `leads`,
// written where the vector's bytes without their continuation bytes were stored at `out`:
// the k-th lead moved k bytes down. Returns how many were no exact counterpart.
inline std::uint64_t put_two_byte_chars(const unsigned char* in, std::uint64_t leads,
                                        unsigned char* out, const std::uint32_t* two_byte) {
    std::uint64_t lossy = 0;
    for (std::size_t k = 0; leads != 0; ++k, leads &= leads - 1) {
        const auto i = static_cast<std::size_t>(std::countr_zero(leads));
        const std::uint32_t entry = two_byte[(in[i] & 0x1F) << 6 | (in[i + 1] & 0x3F)];
        out[i - k] = static_cast<unsigned char>(entry);
        lossy += entry >> 8;
    }
    return lossy;
}

}  // namespace glossek
