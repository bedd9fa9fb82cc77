// SPDX-License-Identifier: MIT
#include "files/line_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define GLOSSEK_X86_64 1
#include <immintrin.h>
#else
#define GLOSSEK_X86_64 0
#endif

namespace glossek {

namespace {

constexpr char kCr = '\x0D';
constexpr char kLf = '\x0A';

#if GLOSSEK_X86_64

// Without POPCNT among the instructions the program may assume, the builtin is a call.
std::size_t bit_count(std::uint32_t mask) {
    mask = mask - ((mask >> 1) & 0x55555555u);
    mask = (mask & 0x33333333u) + ((mask >> 2) & 0x33333333u);
    mask = (mask + (mask >> 4)) & 0x0F0F0F0Fu;
    return (mask * 0x01010101u) >> 24;
}

// Whole lines at the start of a text: lines that hold no NUL and end with CR LF. A chunk
// of the text is looked at with the byte after it, which tells whether a CR at its end has
// its LF; the chunks are taken without branches, but for the one that stops the lines.
struct LinesSeen {
    std::size_t count = 0;
    std::size_t lines_end = 0;

    // Where the chunk's last CR LF ends counts only when it has one; as arithmetic, not as
    // a branch, which chunks of text with CRs and without would mispredict half the time.
    void add(std::size_t chunk, std::uint64_t crs, std::size_t crs_count) {
        count += crs_count;
        const std::size_t end = chunk + static_cast<std::size_t>(63 - __builtin_clzll(crs | 1)) + 2;
        lines_end = std::max(lines_end, end * static_cast<std::size_t>(crs != 0));
    }
    std::size_t end() const { return lines_end; }
};

// From `i` on, byte by byte: a tail too short for a chunk, or the chunk that stops.
std::size_t finish_lines(const char* text, std::size_t size, std::size_t i, LinesSeen& seen,
                         std::size_t& count) {
    std::size_t lines_end = seen.end();
    count = seen.count;
    for (; i < size; ++i) {
        if (text[i] == '\0' || (text[i] == kCr && (i + 1 == size || text[i + 1] != kLf))) {
            break;
        }
        if (text[i] == kCr) {
            ++count;
            lines_end = i + 2;
            ++i;
        }
    }
    return lines_end;
}

// SSE2 is part of every x86-64 processor: 16 bytes at a time.
std::size_t plain_lines_sse2(const char* text, std::size_t size, std::size_t& count) {
    const __m128i cr = _mm_set1_epi8(kCr);
    const __m128i lf = _mm_set1_epi8(kLf);
    const __m128i zero = _mm_setzero_si128();
    // The masks of one chunk of 16 bytes: its CRs, the LFs after its bytes, its NULs.
    auto masks = [&](std::size_t at, std::uint32_t& crs, std::uint32_t& lfs, std::uint32_t& nuls) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at + 1));
        crs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)));
        lfs = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
        nuls = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, zero)));
    };
    LinesSeen seen;
    std::size_t i = 0;
    // Two chunks a round, as one 32-bit mask.
    for (; i + 33 <= size; i += 32) {
        std::uint32_t crs_a, lfs_a, nuls_a, crs_b, lfs_b, nuls_b;
        masks(i, crs_a, lfs_a, nuls_a);
        masks(i + 16, crs_b, lfs_b, nuls_b);
        const std::uint32_t crs = crs_a | crs_b << 16;
        if (((crs & ~(lfs_a | lfs_b << 16)) | nuls_a | nuls_b) != 0) {  // a lone CR or a NUL
            break;
        }
        seen.add(i, crs, bit_count(crs));
    }
    return finish_lines(text, size, i, seen, count);
}

__attribute__((target("avx2,popcnt"))) std::size_t plain_lines_avx2(const char* text,
                                                                    std::size_t size,
                                                                    std::size_t& count) {
    const __m256i cr = _mm256_set1_epi8(kCr);
    const __m256i lf = _mm256_set1_epi8(kLf);
    const __m256i zero = _mm256_setzero_si256();
    LinesSeen seen;
    std::size_t i = 0;
    for (; i + 33 <= size; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 1));
        const auto crs = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, cr)));
        const auto lfs = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, lf)));
        const auto nuls =
            static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, zero)));
        if (((crs & ~lfs) | nuls) != 0) {
            break;
        }
        seen.add(i, crs, static_cast<std::size_t>(__builtin_popcount(crs)));
    }
    return finish_lines(text, size, i, seen, count);
}
#else
std::size_t plain_lines(const char* text, std::size_t size, std::size_t& count) {
    const void* nul = size == 0 ? nullptr : std::memchr(text, '\0', size);
    const std::size_t limit =
        nul == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    std::size_t lines_end = 0;
    count = 0;
    while (lines_end < limit) {
        const auto* cr =
            static_cast<const char*>(std::memchr(text + lines_end, kCr, limit - lines_end));
        if (cr == nullptr || cr + 1 >= text + limit || cr[1] != kLf) {
            break;
        }
        ++count;
        lines_end = static_cast<std::size_t>(cr - text) + 2;
    }
    return lines_end;
}
#endif

}  // namespace

bool has_line_scan(LineScan scan) {
#if GLOSSEK_X86_64 && !defined(GLOSSEK_NO_AVX)
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return scan == LineScan::Basic || avx2;
#else
    return scan == LineScan::Basic;
#endif
}

LineScan best_line_scan() {
    return has_line_scan(LineScan::Avx2) ? LineScan::Avx2 : LineScan::Basic;
}

std::size_t find_whole_lines(const char* text, std::size_t size, std::size_t& count,
                             LineScan scan) {
#if GLOSSEK_X86_64
    return scan == LineScan::Avx2 && has_line_scan(scan) ? plain_lines_avx2(text, size, count)
                                                         : plain_lines_sse2(text, size, count);
#else
    (void)scan;
    return plain_lines(text, size, count);
#endif
}

}  // namespace glossek
