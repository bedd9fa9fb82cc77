// SPDX-License-Identifier: MIT
#include "pages/byte_table.h"

#include <algorithm>

#include "pages/kernels.h"

namespace glossek {

namespace {

std::size_t translate_plain(const unsigned char* in, std::size_t size, unsigned char* out,
                            const ByteTable& table) {
    std::size_t lossy = 0;
    std::size_t i = 0;
    if (const std::uint64_t* pairs = table.pairs()) {
        // Two bytes a lookup, the count of lossy bytes summed in the top half: the low
        // halves (the output bytes) add up to less than 2^32 over 2^16 pairs at a time.
        while (size - i >= 2) {
            const std::size_t round_end = i + std::min<std::size_t>(size - i, 2 << 16) / 2 * 2;
            std::uint64_t sum = 0;
            for (; i < round_end; i += 2) {
                const std::uint64_t entry = pairs[in[i] | in[i + 1] << 8];
                out[i] = static_cast<unsigned char>(entry);
                out[i + 1] = static_cast<unsigned char>(entry >> 8);
                sum += entry;
            }
            lossy += static_cast<std::size_t>(sum >> 32);
        }
    }
    for (; i < size; ++i) {
        const std::uint16_t entry = table.entry(in[i]);
        out[i] = static_cast<unsigned char>(entry);
        lossy += entry >> 8;
    }
    return lossy;
}

}  // namespace

ByteTable::ByteTable(const unsigned char* map, const unsigned char* lossy) : map_(map) {
    if (lossy != nullptr) {
        std::copy(lossy, lossy + 32, lossy_.begin());
    }
    if (map_ == nullptr) {
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        entries_[byte] = static_cast<std::uint16_t>(map_[byte] | (this->lossy(byte) ? 256 : 0));
        if (b < 0x80 && entries_[byte] != b) {
            ascii_kept_ = false;
        }
        if (this->lossy(byte)) {
            lossy_rows_[(b >> 7) * 16 + (b & 0x0F)] |=
                static_cast<unsigned char>(1 << ((b >> 4) & 7));
        }
    }
}

void ByteTable::add_pairs() {
    pairs_.resize(0x10000);
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            const std::uint16_t a = entries_[first];
            const std::uint16_t b = entries_[second];
            pairs_[first | second << 8] = (a & 0xFFu) | (b & 0xFFu) << 8 |
                                          static_cast<std::uint64_t>((a >> 8) + (b >> 8)) << 32;
        }
    }
}

bool has_kernel(Kernel kernel) {
#if GLOSSEK_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#ifdef GLOSSEK_NO_AVX512
    static const bool avx512 = false;
#else
    static const bool avx512 =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
        __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
#endif
    return kernel == Kernel::Plain || (kernel == Kernel::Avx2 && avx2) ||
           (kernel == Kernel::Avx512 && avx512);
#else
    return kernel == Kernel::Plain;
#endif
}

Kernel best_kernel() {
    return has_kernel(Kernel::Avx512) ? Kernel::Avx512
           : has_kernel(Kernel::Avx2) ? Kernel::Avx2
                                      : Kernel::Plain;
}

std::size_t translate(Kernel kernel, const unsigned char* in, std::size_t size, unsigned char* out,
                      const ByteTable& table) {
#if GLOSSEK_AVX2
    if (kernel == Kernel::Avx512) {
        return translate_avx512(in, size, out, table);
    }
    if (kernel == Kernel::Avx2 && size >= 32) {  // shorter, the plain way
        return translate_avx2(in, size, out, table);
    }
#else
    (void)kernel;
#endif
    return translate_plain(in, size, out, table);
}

}  // namespace glossek
