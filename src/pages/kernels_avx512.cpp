// SPDX-License-Identifier: MIT
#include "pages/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#include <immintrin.h>

#include <cstdint>

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

// DOS to UTF-8 sixteen characters at a time, each in three bytes: byte 3i its first, 3i + 1
// its second (index 64 + i: the second register), 3i + 2 its third; 16 times round r adds.
constexpr std::array<unsigned char, 64> kSpread = [] {
    std::array<unsigned char, 64> spread{};
    for (unsigned i = 0; i < 16; ++i) {
        spread[3 * i] = static_cast<unsigned char>(i);
        spread[3 * i + 1] = static_cast<unsigned char>(64 + i);
        spread[3 * i + 2] = static_cast<unsigned char>(i);
    }
    return spread;
}();

constexpr std::uint64_t every_third(unsigned from) {
    std::uint64_t bits = 0;
    for (unsigned i = 0; i < 16; ++i) {
        bits |= std::uint64_t{1} << (3 * i + from);
    }
    return bits;
}

// A table of the bytes from 0x80 in two registers, for a permutation looked up by 7 bits.
struct HalfTable {
    __m512i low;
    __m512i high;
};

__attribute__((target("avx512f"))) inline HalfTable load_half(
    const std::array<unsigned char, 128>& table) {
    return {_mm512_loadu_si512(table.data()), _mm512_loadu_si512(table.data() + 64)};
}

// Sequences of one or two bytes, 32 characters at a time, each in two bytes: byte 2i its
// first, 2i + 1 its second (the second register).
constexpr std::array<unsigned char, 64> kPairs = [] {
    std::array<unsigned char, 64> pairs{};
    for (unsigned i = 0; i < 32; ++i) {
        pairs[2 * i] = static_cast<unsigned char>(i);
        pairs[2 * i + 1] = static_cast<unsigned char>(64 + i);
    }
    return pairs;
}();

// The 64 characters of a chunk, their bytes in `first` and `second` (0 after a shorter
// sequence) written packed; returns how many bytes they take.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt"))) inline std::size_t
put_pairs(__m512i first, __m512i second, unsigned char* out) {
    constexpr std::uint64_t kFirsts = 0x5555555555555555ULL;
    __m512i index = _mm512_loadu_si512(kPairs.data());
    std::size_t put = 0;
    for (int round = 0; round < 2; ++round) {
        const __m512i sequences = _mm512_permutex2var_epi8(first, index, second);
        const __mmask64 keep = _mm512_test_epi8_mask(sequences, sequences) | kFirsts;
        _mm512_storeu_si512(out + put, _mm512_maskz_compress_epi8(keep, sequences));
        put += static_cast<std::size_t>(__builtin_popcountll(keep));
        index = _mm512_add_epi8(index, _mm512_set1_epi8(32));
    }
    return put;
}

// As put_pairs, with the third bytes in `third`: sixteen characters a round.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt"))) inline std::size_t
put_triples(__m512i first, __m512i second, __m512i third, unsigned char* out) {
    constexpr std::uint64_t kFirsts = every_third(0);
    constexpr std::uint64_t kThirds = every_third(2);
    __m512i index = _mm512_loadu_si512(kSpread.data());
    std::size_t put = 0;
    for (int round = 0; round < 4; ++round) {
        // Every first byte, and the second and third bytes that are not 0.
        __m512i sequences = _mm512_permutex2var_epi8(first, index, second);
        sequences = _mm512_mask_permutexvar_epi8(sequences, kThirds, index, third);
        const __mmask64 keep = (_mm512_test_epi8_mask(sequences, sequences) | kFirsts) &
                               ((std::uint64_t{1} << 48) - 1);
        const auto count = static_cast<unsigned>(__builtin_popcountll(keep));
        // (At most 48 bytes: a whole register's store could pass the room of the last chunk.)
        _mm512_mask_storeu_epi8(out + put, (std::uint64_t{1} << count) - 1,
                                _mm512_maskz_compress_epi8(keep, sequences));
        put += count;
        index = _mm512_add_epi8(index, _mm512_set1_epi8(16));
    }
    return put;
}

}  // namespace

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt"))) KernelProgress
to_utf8_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
               const HighSequences& high) {
    const HalfTable first = load_half(high.first);
    const HalfTable second = load_half(high.second);
    const HalfTable third = load_half(high.third);
    const HalfTable undefined = load_half(high.undefined);
    const __m512i three_lead = _mm512_set1_epi8(static_cast<char>(0xE0));
    KernelProgress done;
    for (; size - done.read >= 64; done.read += 64) {
        const __m512i text = _mm512_loadu_si512(in + done.read);
        const __mmask64 top = _mm512_movepi8_mask(text);
        if (top == 0) {
            _mm512_storeu_si512(out + done.written, text);
            done.written += 64;
            continue;
        }
        // ASCII stays as it is (the index itself where the mask has no bit).
        const __m512i bytes1 = _mm512_mask2_permutex2var_epi8(first.low, text, top, first.high);
        const __m512i bytes2 = _mm512_maskz_permutex2var_epi8(top, second.low, text, second.high);
        const __m512i bytes3 = _mm512_maskz_permutex2var_epi8(top, third.low, text, third.high);
        if (high.has_undefined) {
            const __m512i lost =
                _mm512_maskz_permutex2var_epi8(top, undefined.low, text, undefined.high);
            done.lossy +=
                static_cast<std::uint64_t>(__builtin_popcountll(_mm512_movepi8_mask(lost)));
        }
        // Sequences of three bytes lead with E0 or more.
        const bool short_only = _mm512_mask_cmpge_epu8_mask(top, bytes1, three_lead) == 0;
        done.written += short_only ? put_pairs(bytes1, bytes2, out + done.written)
                                   : put_triples(bytes1, bytes2, bytes3, out + done.written);
    }
    return done;
}

namespace {

// Byte 4j of each word is byte j: sixteen bytes widened to words by a permutation.
constexpr std::array<unsigned char, 64> kWiden = [] {
    std::array<unsigned char, 64> widen{};
    for (unsigned j = 0; j < 16; ++j) {
        widen[4 * j] = static_cast<unsigned char>(j);
    }
    return widen;
}();

// The DOS bytes of sixteen two-byte sequences from the `from`th, whose leads and continuation
// bytes are in order in `leads` and `continuations` (`valid` of them), gathered from the table
// into the first sixteen bytes; adds how many are no exact counterpart to `lossy`. (Casts and
// extractions of parts of a register make GCC 12 warn of undefined start values.)
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt"))) inline __m512i
look_up_sixteen(__m512i leads, __m512i continuations, unsigned from, __mmask16 valid,
                const std::uint32_t* two_byte, std::uint64_t& lossy) {
    constexpr std::uint64_t kLowBytes = 0x1111111111111111ULL;
    const __m512i widen = _mm512_add_epi8(_mm512_loadu_si512(kWiden.data()),
                                          _mm512_set1_epi8(static_cast<char>(from)));
    // Shifted within the low half of each word.
    const __m512i high =
        _mm512_slli_epi16(_mm512_maskz_permutexvar_epi8(
                              kLowBytes, widen, _mm512_and_si512(leads, _mm512_set1_epi8(0x1F))),
                          6);
    const __m512i low = _mm512_maskz_permutexvar_epi8(
        kLowBytes, widen, _mm512_and_si512(continuations, _mm512_set1_epi8(0x3F)));
    const __m512i entries = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), 0xFFFF,
                                                        _mm512_or_si512(high, low), two_byte, 4);
    lossy += static_cast<unsigned>(
        __builtin_popcount(_mm512_mask_test_epi32_mask(valid, entries, _mm512_set1_epi32(0x100))));
    return _mm512_maskz_compress_epi8(kLowBytes, entries);
}

// Byte i + 1 at byte i: each lead beside its continuation byte.
constexpr std::array<unsigned char, 64> kNext = [] {
    std::array<unsigned char, 64> next{};
    for (unsigned i = 0; i < 64; ++i) {
        next[i] = static_cast<unsigned char>(i < 63 ? i + 1 : 63);
    }
    return next;
}();

// The vector with each lead (all of the window's two) replaced by its DOS byte, looked up by
// its low bit and the low six bits of its continuation byte; adds the losses to `lossy`.
__attribute__((target("avx512f,avx512bw,avx512vbmi,popcnt"))) inline __m512i in_window(
    __m512i text, std::uint64_t leads, __m512i next, const HalfTable& bytes,
    const HalfTable& lossy_marks, std::uint64_t& lossy) {
    const __m512i continuations = _mm512_maskz_permutexvar_epi8(~std::uint64_t{0}, next, text);
    // Bit 0 moved to bit 6 stays within its byte.
    const __m512i index =
        _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(text, _mm512_set1_epi8(1)), 6),
                        _mm512_and_si512(continuations, _mm512_set1_epi8(0x3F)));
    const __m512i dos = _mm512_permutex2var_epi8(bytes.low, index, bytes.high);
    const __m512i lost = _mm512_permutex2var_epi8(lossy_marks.low, index, lossy_marks.high);
    lossy += static_cast<std::uint64_t>(__builtin_popcountll(_mm512_movepi8_mask(lost) & leads));
    return _mm512_mask_blend_epi8(leads, text, dos);
}

// The vector without its continuation bytes (`kept` the others), each lead replaced by the
// DOS byte gathered from the table, sixteen at a time put in the places of the leads.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi2,popcnt"))) inline __m512i
gathered(__m512i text, std::uint64_t leads, std::uint64_t kept, const std::uint32_t* two_byte,
         std::uint64_t& lossy) {
    const __m512i lead_bytes = _mm512_maskz_compress_epi8(leads, text);
    const __m512i continuation_bytes = _mm512_maskz_compress_epi8(leads << 1, text);
    const auto count = static_cast<unsigned>(__builtin_popcountll(leads));
    const std::uint64_t places = _pext_u64(leads, kept);
    const std::uint64_t first_places = _pdep_u64(0xFFFF, places);
    __m512i result = _mm512_mask_expand_epi8(
        _mm512_maskz_compress_epi8(kept, text), first_places,
        look_up_sixteen(lead_bytes, continuation_bytes, 0,
                        static_cast<__mmask16>(_pext_u64(first_places, places)), two_byte, lossy));
    if (count > 16) {
        result = _mm512_mask_expand_epi8(
            result, places & ~first_places,
            look_up_sixteen(lead_bytes, continuation_bytes, 16,
                            static_cast<__mmask16>((1u << (count - 16)) - 1), two_byte, lossy));
    }
    return result;
}

}  // namespace

__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi2,popcnt"))) KernelProgress
from_utf8_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                 const std::uint32_t* two_byte, const TwoByteWindow& window) {
    const HalfTable window_bytes = load_half(window.bytes);
    const HalfTable window_lossy = load_half(window.lossy);
    const __m512i window_lead = _mm512_set1_epi8(static_cast<char>(window.lead));
    const __m512i next = _mm512_loadu_si512(kNext.data());
    const __m512i lead_start = _mm512_set1_epi8(static_cast<char>(0xC2));
    const __m512i lead_count = _mm512_set1_epi8(0xE0 - 0xC2);
    const __m512i top_two = _mm512_set1_epi8(static_cast<char>(0xC0));
    const __m512i continuation = _mm512_set1_epi8(static_cast<char>(0x80));
    const __m512i lead_pair = _mm512_set1_epi8(static_cast<char>(0xFE));
    KernelProgress done;
    while (size - done.read >= 64) {
        const __m512i text = _mm512_loadu_si512(in + done.read);
        const std::uint64_t ascii = ~std::uint64_t{_mm512_movepi8_mask(text)};
        if (ascii == ~std::uint64_t{0}) {
            _mm512_storeu_si512(out + done.written, text);
            done.read += 64;
            done.written += 64;
            continue;
        }
        std::uint64_t leads = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(text, lead_start), lead_count);
        const std::uint64_t continuations =
            _mm512_cmpeq_epi8_mask(_mm512_and_si512(text, top_two), continuation);
        // Each continuation byte right after a lead, and nothing else but ASCII.
        if ((ascii | leads | continuations) != ~std::uint64_t{0} || continuations != leads << 1) {
            break;
        }
        const std::size_t whole = leads >> 63 == 0 ? 64 : 63;
        leads &= ~std::uint64_t{0} >> (64 - whole);  // a lead in the last byte waits
        const std::uint64_t kept = ~continuations;
        __m512i result;
        if (_mm512_mask_cmpeq_epi8_mask(leads, _mm512_and_si512(text, lead_pair), window_lead) ==
            leads) {
            result = _mm512_maskz_compress_epi8(
                kept, in_window(text, leads, next, window_bytes, window_lossy, done.lossy));
        } else {
            result = gathered(text, leads, kept, two_byte, done.lossy);
        }
        _mm512_storeu_si512(out + done.written, result);
        const auto count = static_cast<std::size_t>(__builtin_popcountll(leads));
        done.read += whole;
        done.written += whole - count;
    }
    return done;
}

std::size_t translate_avx512(const unsigned char* in, std::size_t size, unsigned char* out,
                             const ByteTable& table) {
    return table.ascii_kept() ? translate_avx512_kernel<true>(in, size, out, table)
                              : translate_avx512_kernel<false>(in, size, out, table);
}

}  // namespace glossek

#endif
