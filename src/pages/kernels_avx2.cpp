// SPDX-License-Identifier: MIT
#include "pages/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#include <immintrin.h>

namespace glossek {

namespace {

// The table taken as sixteen 16-byte slices, one per high half of the byte: each slice is
// looked up by the low half, and the four bits of the high half choose among the results,
// a bit at a time. A table that keeps ASCII needs only the upper eight slices (the top bit
// chooses the byte itself for the rest), and a chunk of ASCII alone is copied as it is.
// The lossy bits are looked up by the low half of the byte (a row of 8 bits for each half
// of the high halves), then the bit of the high half is picked.
// Eight slices looked up by the low half of each byte; bits 4 to 6 of the byte, moved to
// the top bit of `bit4` to `bit6`, choose one result.
__attribute__((target("avx2"))) inline __m256i eight_slices(const __m256i* slices, __m256i low,
                                                            __m256i bit4, __m256i bit5,
                                                            __m256i bit6) {
    const __m256i a = _mm256_blendv_epi8(_mm256_shuffle_epi8(slices[0], low),
                                         _mm256_shuffle_epi8(slices[1], low), bit4);
    const __m256i b = _mm256_blendv_epi8(_mm256_shuffle_epi8(slices[2], low),
                                         _mm256_shuffle_epi8(slices[3], low), bit4);
    const __m256i c = _mm256_blendv_epi8(_mm256_shuffle_epi8(slices[4], low),
                                         _mm256_shuffle_epi8(slices[5], low), bit4);
    const __m256i d = _mm256_blendv_epi8(_mm256_shuffle_epi8(slices[6], low),
                                         _mm256_shuffle_epi8(slices[7], low), bit4);
    return _mm256_blendv_epi8(_mm256_blendv_epi8(a, b, bit5), _mm256_blendv_epi8(c, d, bit5), bit6);
}

template <bool kAsciiKept>
__attribute__((target("avx2,popcnt"))) std::size_t translate_avx2_kernel(const unsigned char* in,
                                                                         std::size_t size,
                                                                         unsigned char* out,
                                                                         const ByteTable& table) {
    const unsigned char* map = table.map();
    __m256i slices[16];
    for (int j = 0; j < 16; ++j) {
        slices[j] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(map + 16 * j)));
    }
    const __m256i rows_low = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.lossy_rows().data())));
    const __m256i rows_high = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.lossy_rows().data() + 16)));
    const __m256i bits = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kBitOf.data())));
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i zero = _mm256_setzero_si256();
    std::size_t lossy = 0;
    for (std::size_t i = 0; i < size; i += 32) {
        // The last chunk is the last 32 bytes, counting only those not done yet: no
        // byte-by-byte tail.
        const std::size_t at = size - i >= 32 ? i : size - 32;
        const unsigned done = static_cast<unsigned>(i - at);
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + at));
        if (kAsciiKept && _mm256_movemask_epi8(text) == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at), text);
            continue;
        }
        const __m256i low = _mm256_and_si256(text, nibble);
        // A blend takes the top bit of each byte: bit 4, 5 and 6 moved there.
        const __m256i bit4 = _mm256_slli_epi16(text, 3);
        const __m256i bit5 = _mm256_slli_epi16(text, 2);
        const __m256i bit6 = _mm256_slli_epi16(text, 1);
        const __m256i upper = eight_slices(slices + 8, low, bit4, bit5, bit6);
        const __m256i lower = kAsciiKept ? text : eight_slices(slices, low, bit4, bit5, bit6);
        const __m256i result = _mm256_blendv_epi8(lower, upper, text);  // by bit 7
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at), result);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(text, 4), nibble);
        const __m256i row = _mm256_blendv_epi8(_mm256_shuffle_epi8(rows_low, low),
                                               _mm256_shuffle_epi8(rows_high, low), text);
        const __m256i hit = _mm256_and_si256(row, _mm256_shuffle_epi8(bits, high));
        const unsigned lost =
            ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(hit, zero)));
        lossy += static_cast<std::size_t>(__builtin_popcount(lost >> done));
    }
    return lossy;
}

}  // namespace

std::size_t translate_avx2(const unsigned char* in, std::size_t size, unsigned char* out,
                           const ByteTable& table) {
    return table.ascii_kept() ? translate_avx2_kernel<true>(in, size, out, table)
                              : translate_avx2_kernel<false>(in, size, out, table);
}

}  // namespace glossek

#endif
