// SPDX-License-Identifier: MIT
#include "pages/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#include <immintrin.h>

namespace glossek {

namespace {

// With AVX-512 VBMI, 64 bytes at a time: a permutation of two registers looks a byte up in
// 128 entries at once, so the table is two of them (one for a table that keeps ASCII),
// chosen by the top bit; the byte of lossy bits is looked up by the byte's top five bits.
template <bool kAsciiKept>
__attribute__((target("avx512f,avx512bw,avx512vbmi,popcnt"))) std::size_t translate_avx512_kernel(
    const unsigned char* in, std::size_t size, unsigned char* out, const ByteTable& table) {
    const unsigned char* map = table.map();
    const __m512i lower_a = _mm512_loadu_si512(map);
    const __m512i lower_b = _mm512_loadu_si512(map + 64);
    const __m512i upper_a = _mm512_loadu_si512(map + 128);
    const __m512i upper_b = _mm512_loadu_si512(map + 192);
    const __m512i bitmap = _mm512_loadu_si512(table.lossy_bits().data());  // and 32 zeros
    const __m512i bits = _mm512_loadu_si512(kBitOf.data());
    const __m512i five = _mm512_set1_epi8(0x1F);
    const __m512i three = _mm512_set1_epi8(0x07);
    std::size_t lossy = 0;
    // The last chunk is loaded and stored under a mask: no byte-by-byte tail.
    for (std::size_t i = 0; i < size; i += 64) {
        const __mmask64 keep = size - i >= 64 ? ~__mmask64{0} : (__mmask64{1} << (size - i)) - 1;
        const __m512i text = _mm512_maskz_loadu_epi8(keep, in + i);
        const __mmask64 top = _mm512_movepi8_mask(text);
        if (kAsciiKept && top == 0) {
            _mm512_mask_storeu_epi8(out + i, keep, text);
            continue;
        }
        const __m512i upper = _mm512_permutex2var_epi8(upper_a, text, upper_b);
        const __m512i lower = kAsciiKept ? text : _mm512_permutex2var_epi8(lower_a, text, lower_b);
        _mm512_mask_storeu_epi8(out + i, keep, _mm512_mask_blend_epi8(top, lower, upper));
        // (The zero-masked forms: GCC 12 warns of the others' undefined start value.)
        const __m512i row = _mm512_maskz_permutexvar_epi8(
            ~__mmask64{0}, _mm512_and_si512(_mm512_srli_epi16(text, 3), five), bitmap);
        const __m512i bit = _mm512_shuffle_epi8(bits, _mm512_and_si512(text, three));
        lossy +=
            static_cast<std::size_t>(__builtin_popcountll(_mm512_test_epi8_mask(row, bit) & keep));
    }
    return lossy;
}

}  // namespace

std::size_t translate_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                             const ByteTable& table) {
    return table.ascii_kept() ? translate_avx512_kernel<true>(in, size, out, table)
                              : translate_avx512_kernel<false>(in, size, out, table);
}

}  // namespace glossek

#endif
