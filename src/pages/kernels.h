// SPDX-License-Identifier: MIT
// The vector kernels of the table translation, each in a file of its own and compiled for
// its own instructions; called only where the processor has them (see has_kernel).
#pragma once

#include <array>
#include <cstddef>

#include "pages/byte_table.h"

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

}  // namespace glossek
