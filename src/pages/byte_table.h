// SPDX-License-Identifier: MIT
// One-for-one byte tables and the kernels that translate through them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace glossek {

// A one-for-one table with its lossy entries (bit (b & 7) of byte (b >> 3); none when null),
// laid out for the translation loops.
class ByteTable {
public:
    ByteTable(const unsigned char* map, const unsigned char* lossy);

    const unsigned char* map() const { return map_; }
    // The lossy bits, then 32 zero bytes (a vector register's worth).
    const std::array<unsigned char, 64>& lossy_bits() const { return lossy_; }
    // The lossy bits by the low half of the byte: 16 rows for the bytes below 0x80, bit h for
    // high half h, then 16 for the others, bit h - 8.
    const std::array<unsigned char, 32>& lossy_rows() const { return lossy_rows_; }
    bool lossy(unsigned char byte) const { return (lossy_[byte >> 3] >> (byte & 7)) & 1; }
    // The entry and its lossy flag in one: the byte, plus 256 when it is lossy.
    std::uint16_t entry(unsigned char byte) const { return entries_[byte]; }
    // ASCII maps to itself and is never lossy (as in every supported pair): ASCII runs
    // can be copied.
    bool ascii_kept() const { return ascii_kept_; }
    // Two bytes at once, by first | second << 8: their two output bytes, and in the top half
    // how many of them are lossy. Built on demand (512 KiB), for the plain way; null before.
    void add_pairs();
    const std::uint64_t* pairs() const { return pairs_.empty() ? nullptr : pairs_.data(); }

private:
    const unsigned char* map_;
    std::array<unsigned char, 64> lossy_{};
    std::array<unsigned char, 32> lossy_rows_{};
    std::array<std::uint16_t, 256> entries_{};
    std::vector<std::uint64_t> pairs_;
    bool ascii_kept_ = true;
};

// The kernels of the table translation, one per processor family: byte by byte (two bytes
// a lookup once the table has its pairs); AVX2, 32 bytes at a time; AVX-512 VBMI and VBMI2,
// 64 at a time. The UTF-8 ways take the same choice.
enum class Kernel { Plain, Avx2, Avx512 };
// Whether this processor (and build) has the kernel.
bool has_kernel(Kernel kernel);
// The fastest kernel at hand.
Kernel best_kernel();

// Writes `size` bytes of `in` through the table to `out` (which may not overlap `in`) with
// the kernel, which the processor must have, and returns how many of them were lossy.
std::size_t translate(Kernel kernel, const unsigned char* in, std::size_t size, unsigned char* out,
                      const ByteTable& table);

}  // namespace glossek
