// SPDX-License-Identifier: MIT
#include "pages/kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#include <immintrin.h>

#include <cstdint>

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

// Four characters of DOS to UTF-8, each as the four bytes of its sequence (zeros after it),
// packed: by the nibble of those with a second byte and, above, the nibble of those with a
// third, the bytes to keep in order and how many they are.
struct SequencePack {
    std::array<std::array<unsigned char, 16>, 256> shuffle{};
    std::array<unsigned char, 256> size{};
};

constexpr SequencePack kSequencePack = [] {
    SequencePack pack;
    for (unsigned key = 0; key < 256; ++key) {
        auto& shuffle = pack.shuffle[key];
        shuffle.fill(0x80);
        unsigned put = 0;
        for (unsigned c = 0; c < 4; ++c) {
            shuffle[put++] = static_cast<unsigned char>(4 * c);
            for (unsigned k = 1; k < 3; ++k) {
                if ((key >> (4 * (k - 1) + c) & 1) != 0) {
                    shuffle[put++] = static_cast<unsigned char>(4 * c + k);
                }
            }
        }
        pack.size[key] = static_cast<unsigned char>(put);
    }
    return pack;
}();

// Eight characters of one or two bytes, each as two bytes (0 after it), packed by the bits of
// those with a second byte: the bytes to keep in order.
constexpr std::array<std::array<unsigned char, 16>, 256> kPairPack = [] {
    std::array<std::array<unsigned char, 16>, 256> pack{};
    for (unsigned key = 0; key < 256; ++key) {
        pack[key].fill(0x80);
        unsigned put = 0;
        for (unsigned c = 0; c < 8; ++c) {
            pack[key][put++] = static_cast<unsigned char>(2 * c);
            if ((key >> c & 1) != 0) {
                pack[key][put++] = static_cast<unsigned char>(2 * c + 1);
            }
        }
    }
    return pack;
}();

// Eight bytes packed by the bits of those to keep: their places in order.
constexpr std::array<std::uint64_t, 256> kBytePack = [] {
    std::array<std::uint64_t, 256> pack{};
    for (unsigned key = 0; key < 256; ++key) {
        unsigned put = 0;
        for (unsigned b = 0; b < 8; ++b) {
            if ((key >> b & 1) != 0) {
                pack[key] |= std::uint64_t{b} << (8 * put++);
            }
        }
    }
    return pack;
}();

// The eight slices of a table of the bytes from 0x80, in both lanes.
__attribute__((target("avx2"))) inline void load_slices(const std::array<unsigned char, 128>& table,
                                                        __m256i* slices) {
    for (int j = 0; j < 8; ++j) {
        slices[j] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data() + 16 * j)));
    }
}

// Writes the sequences of four characters, each in four bytes of `group`; returns how many
// bytes they take.
__attribute__((target("avx2"))) inline unsigned put_sequences(__m128i group, unsigned key,
                                                              unsigned char* out) {
    const __m128i shuffle =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSequencePack.shuffle[key].data()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(group, shuffle));
    return kSequencePack.size[key];
}

// The 32 characters of a chunk whose three bytes are in `first`, `second` and `third`
// (zeros after a shorter sequence): each as four bytes, then packed four by four. The
// unpacking works within lanes: the groups of four come as 0, 4, 1, 5, ... of the halves.
__attribute__((target("avx2"))) inline std::size_t put_chunk(__m256i first, __m256i second,
                                                             __m256i third, unsigned char* out) {
    const __m256i zero = _mm256_setzero_si256();
    const auto seconds =
        ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(second, zero)));
    const auto thirds =
        ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(third, zero)));
    const __m256i pairs_low = _mm256_unpacklo_epi8(first, second);
    const __m256i pairs_high = _mm256_unpackhi_epi8(first, second);
    const __m256i thirds_low = _mm256_unpacklo_epi8(third, zero);
    const __m256i thirds_high = _mm256_unpackhi_epi8(third, zero);
    const __m256i quads[4] = {_mm256_unpacklo_epi16(pairs_low, thirds_low),
                              _mm256_unpackhi_epi16(pairs_low, thirds_low),
                              _mm256_unpacklo_epi16(pairs_high, thirds_high),
                              _mm256_unpackhi_epi16(pairs_high, thirds_high)};
    std::size_t put = 0;
    for (unsigned g = 0; g < 8; ++g) {
        const __m256i quad = quads[g & 3];
        const __m128i group =
            g < 4 ? _mm256_castsi256_si128(quad) : _mm256_extracti128_si256(quad, 1);
        const unsigned key = (seconds >> (4 * g) & 0xF) | (thirds >> (4 * g) & 0xF) << 4;
        put += put_sequences(group, key, out + put);
    }
    return put;
}

// The 32 characters of a chunk of sequences of one or two bytes: each as two bytes, then
// packed eight by eight (the unpacking works within lanes: 0, 2, then 1, 3 of the halves).
__attribute__((target("avx2,popcnt"))) inline std::size_t put_short_chunk(__m256i first,
                                                                          __m256i second,
                                                                          unsigned char* out) {
    const auto seconds = ~static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(second, _mm256_setzero_si256())));
    const __m256i pairs[2] = {_mm256_unpacklo_epi8(first, second),
                              _mm256_unpackhi_epi8(first, second)};
    std::size_t put = 0;
    for (unsigned g = 0; g < 4; ++g) {
        const __m256i both = pairs[g & 1];
        const __m128i group =
            g < 2 ? _mm256_castsi256_si128(both) : _mm256_extracti128_si256(both, 1);
        const unsigned key = seconds >> (8 * g) & 0xFF;
        const __m128i shuffle =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPairPack[key].data()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + put), _mm_shuffle_epi8(group, shuffle));
        put += 8 + static_cast<unsigned>(__builtin_popcount(key));
    }
    return put;
}

}  // namespace

__attribute__((target("avx2,popcnt"))) KernelProgress to_utf8_avx2(const unsigned char* in,
                                                                   std::size_t size,
                                                                   unsigned char* out,
                                                                   const HighSequences& high) {
    __m256i first[8];
    __m256i second[8];
    __m256i third[8];
    __m256i undefined[8];
    load_slices(high.first, first);
    load_slices(high.second, second);
    load_slices(high.third, third);
    load_slices(high.undefined, undefined);
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    KernelProgress done;
    for (; size - done.read >= 32; done.read += 32) {
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + done.read));
        const auto top = static_cast<unsigned>(_mm256_movemask_epi8(text));
        if (top == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + done.written), text);
            done.written += 32;
            continue;
        }
        const __m256i low = _mm256_and_si256(text, nibble);
        const __m256i bit4 = _mm256_slli_epi16(text, 3);
        const __m256i bit5 = _mm256_slli_epi16(text, 2);
        const __m256i bit6 = _mm256_slli_epi16(text, 1);
        // ASCII has no second or third byte: the top bit of each byte keeps the others'.
        const __m256i highs = _mm256_cmpgt_epi8(_mm256_setzero_si256(), text);
        const __m256i bytes1 =
            _mm256_blendv_epi8(text, eight_slices(first, low, bit4, bit5, bit6), text);
        const __m256i bytes2 = _mm256_and_si256(eight_slices(second, low, bit4, bit5, bit6), highs);
        if (high.has_undefined) {
            const __m256i lost =
                _mm256_and_si256(eight_slices(undefined, low, bit4, bit5, bit6), highs);
            done.lossy += static_cast<unsigned>(
                __builtin_popcount(static_cast<unsigned>(_mm256_movemask_epi8(lost))));
        }
        // Sequences of three bytes lead with E0 or more (-32 and up as signed bytes).
        if (_mm256_movemask_epi8(
                _mm256_and_si256(highs, _mm256_cmpgt_epi8(bytes1, _mm256_set1_epi8(-33)))) == 0) {
            done.written += put_short_chunk(bytes1, bytes2, out + done.written);
            continue;
        }
        const __m256i bytes3 = _mm256_and_si256(eight_slices(third, low, bit4, bit5, bit6), highs);
        done.written += put_chunk(bytes1, bytes2, bytes3, out + done.written);
    }
    return done;
}

__attribute__((target("avx2,popcnt"))) KernelProgress from_utf8_avx2(
    const unsigned char* in, std::size_t size, unsigned char* out, const std::uint32_t* two_byte) {
    // As signed bytes: leads of two bytes C2 to DF are -62 to -33, continuation bytes
    // 80 to BF below -64.
    const __m256i below_leads = _mm256_set1_epi8(-63);
    const __m256i above_leads = _mm256_set1_epi8(-32);
    const __m256i continuation_end = _mm256_set1_epi8(-64);
    KernelProgress done;
    while (size - done.read >= 32) {
        const unsigned char* at = in + done.read;
        const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        const auto ascii = ~static_cast<unsigned>(_mm256_movemask_epi8(text));
        if (ascii == ~0u) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + done.written), text);
            done.read += 32;
            done.written += 32;
            continue;
        }
        const auto leads = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
            _mm256_cmpgt_epi8(text, below_leads), _mm256_cmpgt_epi8(above_leads, text))));
        const auto continuations =
            static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(continuation_end, text)));
        // Each continuation byte right after a lead, and nothing else but ASCII.
        if ((ascii | leads | continuations) != ~0u || continuations != leads << 1) {
            break;
        }
        const unsigned whole = leads >> 31 == 0 ? 32 : 31;
        const unsigned kept = ~continuations;
        unsigned char* put = out + done.written;
        const __m128i halves[2] = {_mm256_castsi256_si128(text), _mm256_extracti128_si256(text, 1)};
        std::size_t written = 0;
        for (unsigned g = 0; g < 4; ++g) {
            const unsigned key = kept >> (8 * g) & 0xFF;
            const __m128i shuffle = _mm_set_epi64x(0, static_cast<long long>(kBytePack[key]));
            const __m128i group = g % 2 == 0 ? halves[g / 2] : _mm_srli_si128(halves[g / 2], 8);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(put + written),
                             _mm_shuffle_epi8(group, shuffle));
            written += static_cast<unsigned>(__builtin_popcount(key));
        }
        done.lossy +=
            put_two_byte_chars(at, whole == 32 ? leads : leads & 0x7FFFFFFFu, put, two_byte);
        done.read += whole;
        done.written += whole - static_cast<unsigned>(__builtin_popcount(continuations));
    }
    return done;
}

std::size_t translate_avx2(const unsigned char* in, std::size_t size, unsigned char* out,
                           const ByteTable& table) {
    return table.ascii_kept() ? translate_avx2_kernel<true>(in, size, out, table)
                              : translate_avx2_kernel<false>(in, size, out, table);
}

}  // namespace glossek

#endif
