#include "conversion/transcode.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(GLOSSEK_NO_AVX)
#define GLOSSEK_AVX2 1
#include <immintrin.h>
#else
#define GLOSSEK_AVX2 0
#endif

namespace glossek {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool ascii32(const unsigned char* at) {
    std::uint64_t words[4];
    std::memcpy(words, at, 32);
    return ((words[0] | words[1] | words[2] | words[3]) & kHighBits) == 0;
}

std::atomic<bool> g_force_plain{false};

// Bit k & 7 of byte k: the bit of a byte's low three bits, for a byte shuffle.
constexpr std::array<unsigned char, 64> kBitOf = [] {
    std::array<unsigned char, 64> bits{};
    for (std::size_t k = 0; k < bits.size(); ++k) {
        bits[k] = static_cast<unsigned char>(1 << (k & 7));
    }
    return bits;
}();

}  // namespace

Utf8Step utf8_step(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        return {lead, 1, false};
    }
    if (lead < 0xC2 || lead > 0xF4) {
        return {};  // a continuation byte, an overlong lead (C0, C1) or past U+10FFFF
    }
    const std::size_t trail = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    // The second byte's range rules out overlong forms, surrogates and U+110000 and up.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead == 0xE0) {
        low = 0xA0;
    } else if (lead == 0xED) {
        high = 0x9F;
    } else if (lead == 0xF0) {
        low = 0x90;
    } else if (lead == 0xF4) {
        high = 0x8F;
    }
    char32_t code_point = lead & (0x7F >> (trail + 1));
    for (std::size_t k = 1; k <= trail; ++k) {
        if (at + k == end) {
            return {Utf8Step::kInvalid, k, true};
        }
        const unsigned char byte = at[k];
        if (byte < low || byte > high) {
            return {Utf8Step::kInvalid, k, false};
        }
        low = 0x80;
        high = 0xBF;
        code_point = (code_point << 6) | (byte & 0x3F);
    }
    return {code_point, trail + 1, false};
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t last_utf8_size(std::string_view text) {
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = begin + text.size();
    for (std::size_t size = 1; size <= std::min<std::size_t>(4, text.size()); ++size) {
        const unsigned char* start = end - size;
        if ((*start & 0xC0) != 0x80) {  // the nearest byte that is no continuation byte
            const Utf8Step step = utf8_step(start, end);
            return step.code_point != Utf8Step::kInvalid && step.length == size ? size : 1;
        }
    }
    return text.empty() ? 0 : 1;
}

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

namespace translation {

std::size_t plain(const unsigned char* in, std::size_t size, unsigned char* out,
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

#if GLOSSEK_AVX2
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
__attribute__((target("avx2,popcnt"))) std::size_t translate_avx2(const unsigned char* in,
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

// With AVX-512 VBMI, 64 bytes at a time: a permutation of two registers looks a byte up in
// 128 entries at once, so the table is two of them (one for a table that keeps ASCII),
// chosen by the top bit; the byte of lossy bits is looked up by the byte's top five bits.
template <bool kAsciiKept>
__attribute__((target("avx512f,avx512bw,avx512vbmi,popcnt"))) std::size_t translate_avx512(
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
#endif

bool has(Way way) {
#if GLOSSEK_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#ifdef GLOSSEK_NO_AVX512
    static const bool avx512 = false;
#else
    static const bool avx512 =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("popcnt");
#endif
    return way == Way::Plain || (way == Way::Avx2 && avx2) || (way == Way::Avx512 && avx512);
#else
    return way == Way::Plain;
#endif
}

Way best() {
    return g_force_plain.load(std::memory_order_relaxed) ? Way::Plain
           : has(Way::Avx512)                            ? Way::Avx512
           : has(Way::Avx2)                              ? Way::Avx2
                                                         : Way::Plain;
}

std::size_t translate(Way way, const unsigned char* in, std::size_t size, unsigned char* out,
                      const ByteTable& table) {
#if GLOSSEK_AVX2
    if (way == Way::Avx512) {
        return table.ascii_kept() ? translate_avx512<true>(in, size, out, table)
                                  : translate_avx512<false>(in, size, out, table);
    }
    if (way == Way::Avx2 && size >= 32) {  // shorter, the plain way
        return table.ascii_kept() ? translate_avx2<true>(in, size, out, table)
                                  : translate_avx2<false>(in, size, out, table);
    }
#else
    (void)way;
#endif
    return plain(in, size, out, table);
}

void force_plain(bool plain) {
    g_force_plain.store(plain);
}

}  // namespace translation

PageConverter::PageConverter(const CodePagePair& pages, bool to_windows)
    : kind_(!pages.utf8() ? Kind::Table
            : to_windows  ? Kind::ToUtf8
                          : Kind::FromUtf8),
      table_(!pages.utf8() ? (to_windows ? pages.oem_to_ansi : pages.ansi_to_oem) : nullptr,
             !pages.utf8() ? (to_windows ? pages.oem_to_ansi_lossy : pages.ansi_to_oem_lossy)
                           : nullptr),
      pages_(pages) {
    if (kind_ == Kind::Table && way_ == translation::Way::Plain) {
        table_.add_pairs();
    }
    if (kind_ == Kind::ToUtf8) {
        expansion_ = 3;  // every DOS character lies in the Basic Multilingual Plane
        for (int b = 0; b < 256; ++b) {
            const char16_t ch = pages.oem_chars[b];
            std::string bytes;
            append_utf8(bytes, ch == 0xFFFD ? U'?' : ch);  // a byte the page leaves undefined
            // The length in the top byte, with its top bit set for a byte the page leaves
            // undefined.
            std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 24;
            if (ch == 0xFFFD) {
                packed |= 0x80000000u;
                has_undefined_ = true;
            }
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k]))
                          << (8 * k);
            }
            utf8_of_[static_cast<std::size_t>(b)] = packed;
            if (b < 0x80 && ch != b) {
                ascii_same_ = false;  // cp864 has the Arabic percent sign at 0x25
            }
        }
        // Two bytes at once: their sequences one after the other (at most 6 bytes), and the
        // length in the top byte.
        utf8_of_pair_.resize(0x10000);
        for (unsigned first = 0; first < 256; ++first) {
            for (unsigned second = 0; second < 256; ++second) {
                const std::uint32_t a = utf8_of_[first];
                const std::uint32_t b = utf8_of_[second];
                const std::uint64_t length_a = (a >> 24) & 0x7F;
                const std::uint64_t packed = (a & 0xFFFFFF) |
                                             (std::uint64_t{b & 0xFFFFFF} << (8 * length_a)) |
                                             ((length_a + ((b >> 24) & 0x7F)) << 56);
                utf8_of_pair_[first | second << 8] = packed;
            }
        }
    } else if (kind_ == Kind::FromUtf8) {
        bmp_.resize(0x10000);
        oem_bytes_for_bmp(pages, bmp_.data());
        for (int b = 0; b < 0x80; ++b) {
            ascii_same_ = ascii_same_ && pages.oem_chars[b] == b;
        }
    }
}

PageConverter::PageConverter(const unsigned char* map) : kind_(Kind::Table), table_(map, nullptr) {
    if (way_ == translation::Way::Plain) {
        table_.add_pairs();
    }
}

bool PageConverter::keeps_line_ends() const {
    return kind_ != Kind::Table || (table_.map()[0x0D] == 0x0D && table_.map()[0x0A] == 0x0A);
}

std::size_t PageConverter::convert(const char* in, std::size_t size, char* out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    auto* target = reinterpret_cast<unsigned char*>(out);
    switch (kind_) {
        case Kind::Table: {
            lossy_ += translation::translate(way_, bytes, size, target, table_);
            return size;
        }
        case Kind::ToUtf8:
            return to_utf8(bytes, size, target);
        case Kind::FromUtf8:
            return from_utf8(bytes, size, target);
    }
    return 0;
}

std::size_t PageConverter::to_utf8(const unsigned char* in, std::size_t size, unsigned char* out) {
    const std::uint32_t* table = utf8_of_.data();
    const std::uint64_t* pairs = utf8_of_pair_.data();
    const bool ascii_same = ascii_same_;
    std::size_t at = 0;
    std::size_t put = 0;
    std::uint64_t lossy = 0;
    // Each sequence is stored whole (its slack overwritten by the next), and the output moves
    // on by its length: no branch on the bytes themselves.
    auto one = [table, out, &put, &lossy](unsigned char byte) {
        const std::uint32_t packed = table[byte];
        for (int k = 0; k < 3; ++k) {
            out[put + static_cast<std::size_t>(k)] = static_cast<unsigned char>(packed >> (8 * k));
        }
        put += (packed >> 24) & 0x7F;
        lossy += packed >> 31;
    };
    if constexpr (std::endian::native == std::endian::little) {
        // 32 bytes a round: a text is either mostly ASCII or has accents every few bytes,
        // and either way the branch on a round of 32 is mostly predicted right (on 8 it is
        // not). Other rounds go two bytes at a time, through the table of pairs; bytes the
        // page leaves undefined (in three pages only) are counted apart.
        for (; at + 32 <= size; at += 32) {
            if (ascii_same && ascii32(in + at)) {
                std::memcpy(out + put, in + at, 32);
                put += 32;
                continue;
            }
            for (std::size_t k = 0; k < 32; k += 2) {
                const std::uint64_t packed = pairs[in[at + k] | in[at + k + 1] << 8];
                std::memcpy(out + put, &packed, 8);
                put += packed >> 56;
            }
            if (has_undefined_) {
                for (std::size_t k = 0; k < 32; ++k) {
                    lossy += table[in[at + k]] >> 31;
                }
            }
        }
    }
    for (; at < size; ++at) {
        one(in[at]);
    }
    lossy_ += lossy;
    return put;
}

unsigned char PageConverter::dos_byte(char32_t code_point, bool& exact) const {
    if (code_point == Utf8Step::kInvalid) {
        exact = false;
        return '?';
    }
    const unsigned char byte =
        code_point < 0x10000 ? bmp_[code_point] : oem_byte_for(pages_, code_point);
    exact = pages_.oem_chars[byte] == code_point;
    return byte;
}

std::size_t PageConverter::from_utf8(const unsigned char* in, std::size_t size,
                                     unsigned char* out) {
    const unsigned char* at = in;
    const unsigned char* end = in + size;
    unsigned char* put = out;
    bool exact = true;
    if (open_size_ > 0 && size > 0) {
        // The sequence the last part left open, with the bytes that may end it.
        std::array<unsigned char, 8> joined{};
        std::copy(open_.begin(), open_.begin() + static_cast<std::ptrdiff_t>(open_size_),
                  joined.begin());
        const std::size_t taken = std::min(size, 4 - open_size_);
        std::copy(in, in + taken, joined.begin() + static_cast<std::ptrdiff_t>(open_size_));
        const Utf8Step step = utf8_step(joined.data(), joined.data() + open_size_ + taken);
        if (step.open) {  // still open: all of this part belongs to it
            std::copy(in, in + taken, open_.begin() + static_cast<std::ptrdiff_t>(open_size_));
            open_size_ += taken;
            return 0;
        }
        *put++ = dos_byte(step.code_point, exact);
        lossy_ += exact ? 0 : 1;
        at += step.length - open_size_;  // an ill-formed part takes at least what was held
        open_size_ = 0;
    }
    const unsigned char* bmp = bmp_.data();
    const char16_t* chars = pages_.oem_chars;
    std::uint64_t lossy = 0;
    // A round of 32 bytes of ASCII is copied as it is; otherwise the next 32 bytes or so go
    // character by character (see to_utf8).
    const bool ascii_same = ascii_same_;
    while (at < end) {
        if (ascii_same && end - at >= 32 && ascii32(at)) {
            std::memcpy(put, at, 32);
            at += 32;
            put += 32;
            continue;
        }
        const unsigned char* round_end = end - at > 32 ? at + 32 : end;
        while (at < round_end) {
            const unsigned char lead = *at;
            if (lead < 0x80 && ascii_same) {
                *put++ = lead;
                ++at;
                continue;
            }
            // Two bytes, U+0080 to U+07FF: most letters of the scripts DOS pages hold.
            if (lead >= 0xC2 && lead < 0xE0 && end - at >= 2 && (at[1] & 0xC0) == 0x80) {
                const auto code_point = static_cast<char32_t>((lead & 0x1F) << 6 | (at[1] & 0x3F));
                const unsigned char byte = bmp[code_point];
                *put++ = byte;
                lossy += chars[byte] != code_point ? 1 : 0;
                at += 2;
                continue;
            }
            const Utf8Step step = utf8_step(at, end);
            if (step.open) {
                open_size_ = step.length;
                std::copy(at, end, open_.begin());
                lossy_ += lossy;
                return static_cast<std::size_t>(put - out);
            }
            *put++ = dos_byte(step.code_point, exact);
            lossy += exact ? 0 : 1;
            at += step.length;
        }
    }
    lossy_ += lossy;
    return static_cast<std::size_t>(put - out);
}

std::size_t PageConverter::end_line(char* out) {
    if (open_size_ == 0) {
        return 0;
    }
    open_size_ = 0;
    ++lossy_;
    *out = '?';
    return 1;
}

std::size_t PageConverter::first_lossy(const char* in, std::size_t size) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    for (std::size_t i = 0; i < size;) {
        switch (kind_) {
            case Kind::Table:
                if (table_.lossy(bytes[i])) {
                    return i;
                }
                ++i;
                break;
            case Kind::ToUtf8:
                if (pages_.oem_chars[bytes[i]] == 0xFFFD) {
                    return i;
                }
                ++i;
                break;
            case Kind::FromUtf8: {
                const Utf8Step step = utf8_step(bytes + i, bytes + size);
                bool exact = !step.open;
                if (exact) {
                    dos_byte(step.code_point, exact);
                }
                if (!exact) {
                    return i;
                }
                i += step.length;
                break;
            }
        }
    }
    return size;
}

}  // namespace glossek
