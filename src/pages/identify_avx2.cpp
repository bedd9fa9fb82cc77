// SPDX-License-Identifier: MIT
// The identification's vector kernel: control bytes and bytes above 0x7F found 32 at a time.
#include "pages/identify.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#include <immintrin.h>

namespace glossek {

namespace {

__attribute__((target("avx2"))) inline unsigned mask_of(__m256i bytes) {
    return static_cast<unsigned>(_mm256_movemask_epi8(bytes));
}

__attribute__((target("avx2"))) inline unsigned equal(__m256i text, char value) {
    return mask_of(_mm256_cmpeq_epi8(text, _mm256_set1_epi8(value)));
}

// The bytes from `first` to `last`.
__attribute__((target("avx2"))) inline unsigned in_range(__m256i text, char first, char last) {
    const __m256i clamped =
        _mm256_max_epu8(_mm256_min_epu8(text, _mm256_set1_epi8(last)), _mm256_set1_epi8(first));
    return mask_of(_mm256_cmpeq_epi8(clamped, text));
}

}  // namespace

__attribute__((target("avx2,popcnt"))) std::size_t Identifier::feed_avx2(const unsigned char* at,
                                                                         std::size_t size) {
    // Each chunk is read with the byte before it and the byte after it: the first starts at
    // 1 (the caller has taken byte 0), the last ends a byte before the part does.
    std::size_t i = 1;
    std::uint64_t crs = 0;
    std::uint64_t lfs = 0;
    std::uint64_t nuls = 0;
    std::uint64_t crlfs = 0;
    std::uint64_t binary = 0;
    for (; i + 33 <= size; i += 32) {
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + i));
        const __m256i before = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + i - 1));
        const unsigned low = in_range(text, 0, 0x1F);
        const unsigned high = mask_of(text);
        if (low != 0) {
            const unsigned cr = equal(text, '\r');
            const unsigned lf = equal(text, '\n');
            const unsigned nul = equal(text, 0);
            const unsigned allowed =
                cr | lf | nul | equal(text, '\t') | equal(text, '\f') | equal(text, 0x1B);
            crs += static_cast<unsigned>(__builtin_popcount(cr));
            lfs += static_cast<unsigned>(__builtin_popcount(lf));
            nuls += static_cast<unsigned>(__builtin_popcount(nul));
            binary += static_cast<unsigned>(__builtin_popcount(low & ~allowed));
            crlfs += static_cast<unsigned>(__builtin_popcount(lf & equal(before, '\r')));
        }
        high_seen_ = high_seen_ || high != 0;
        if (high != 0 && count_high_) {
            high_counted_ += static_cast<unsigned>(__builtin_popcount(high));
            const __m256i after = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + i + 1));
            const unsigned after_lower = in_range(before, 'a', 'z');
            const unsigned before_lower = in_range(after, 'a', 'z');
            const unsigned repeated = mask_of(_mm256_cmpeq_epi8(text, before));
            for (unsigned marks = high; marks != 0; marks &= marks - 1) {
                const auto j = static_cast<unsigned>(__builtin_ctz(marks));
                const std::size_t k = at[i + j] - 0x80u;
                ++counts_.bytes[0x80 + k];
                counts_.high_after_lower[k] += (after_lower >> j) & 1;
                counts_.high_before_lower[k] += (before_lower >> j) & 1;
                counts_.high_between_lower[k] += ((after_lower & before_lower) >> j) & 1;
                counts_.high_repeated[k] += (repeated >> j) & 1;
            }
        }
    }
    counts_.bytes['\r'] += crs;
    counts_.bytes['\n'] += lfs;
    counts_.bytes[0] += nuls;
    crlf_ += crlfs;
    binary_controls_ += binary;
    previous_cr_ = at[i - 1] == '\r';
    return i;
}

}  // namespace glossek

#else

namespace glossek {

std::size_t Identifier::feed_avx2(const unsigned char*, std::size_t) {
    return 0;
}

}  // namespace glossek

#endif
