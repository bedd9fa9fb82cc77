// SPDX-License-Identifier: MIT
// The identification's plain kernel: control bytes and bytes above 0x7F found eight at a
// time, and what stands beside each byte above 0x7F.
#include <bit>
#include <cstring>

#include "pages/byte_masks.h"
#include "pages/identify.h"

namespace glossek {

using byte_masks::below_space;
using byte_masks::bytes_equal;
using byte_masks::is_binary_control;
using byte_masks::is_lower;
using byte_masks::kHighBits;
using byte_masks::lower_letters;
using byte_masks::marks_in;

void Identifier::feed_part(const unsigned char* at, std::size_t size) {
    if (next_after_high_ && size > 0) {
        counts_.high_before_lower[last_ - 0x80] += is_lower(at[0]) ? 1 : 0;
        counts_.high_between_lower[last_ - 0x80] +=
            is_lower(at[0]) && is_lower(before_last_) ? 1 : 0;
        next_after_high_ = false;
    }
    // Eight bytes at a time: most words of text hold no byte above 0x7F and none below 0x20.
    // Control bytes are counted by masks; bytes above 0x7F one by one, what stands beside
    // them known from masks of the word moved by a byte.
    std::size_t i = 0;
    if (kernel_ != Kernel::Plain && has_kernel(Kernel::Avx2) && size >= 34) {
        note_byte(at, size, 0);
        i = feed_avx2(at, size);
    }
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t before_word = i > 0 ? at[i - 1] : last_;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, at + i, 8);
            const std::uint64_t low = below_space(word);
            if (low != 0) {
                count_controls(word, low);
            } else {
                previous_cr_ = false;
            }
            const std::uint64_t high = word & kHighBits;
            high_seen_ = high_seen_ || high != 0;
            if (high != 0 && count_high_) {
                const std::uint64_t next = i + 8 < size ? at[i + 8] : 0;
                count_high(word, high, (word << 8) | before_word, (word >> 8) | (next << 56));
            }
            before_word = word >> 56;
        }
    }
    for (; i < size; ++i) {
        note_byte(at, size, i);
    }
    if (size > 0) {
        before_last_ = size >= 2 ? at[size - 2] : last_;
        last_ = at[size - 1];
        next_after_high_ = last_ >= 0x80;
    }
}

void Identifier::count_controls(std::uint64_t word, std::uint64_t low) {
    const std::uint64_t cr = bytes_equal(word, '\r');
    const std::uint64_t lf = bytes_equal(word, '\n');
    const std::uint64_t nul = bytes_equal(word, 0);
    const std::uint64_t allowed =
        cr | lf | nul | bytes_equal(word, '\t') | bytes_equal(word, '\f') | bytes_equal(word, 0x1B);
    counts_.bytes['\r'] += marks_in(cr);
    counts_.bytes['\n'] += marks_in(lf);
    counts_.bytes[0] += marks_in(nul);
    binary_controls_ += marks_in(low & ~allowed);
    // A CR LF inside the word, and one whose CR ended the word before.
    crlf_ += marks_in(cr & (lf >> 8)) + (previous_cr_ && (lf & 0x80) != 0 ? 1 : 0);
    previous_cr_ = (cr >> 63) != 0;
}

void Identifier::count_high(std::uint64_t word, std::uint64_t high, std::uint64_t before,
                            std::uint64_t after) {
    // `before` and `after` hold, at each byte's place, the byte before it and after it.
    const std::uint64_t after_lower = lower_letters(before) & high;
    const std::uint64_t before_lower = lower_letters(after) & high;
    const std::uint64_t repeated = bytes_equal(word ^ before, 0) & high;
    high_counted_ += marks_in(high);
    for (std::uint64_t marks = high; marks != 0; marks &= marks - 1) {
        const auto top = static_cast<unsigned>(__builtin_ctzll(marks));
        const std::size_t k = (word >> (top - 7)) & 0x7F;
        ++counts_.bytes[0x80 + k];
        counts_.high_after_lower[k] += (after_lower >> top) & 1;
        counts_.high_before_lower[k] += (before_lower >> top) & 1;
        counts_.high_between_lower[k] += (after_lower & before_lower) >> top & 1;
        counts_.high_repeated[k] += (repeated >> top) & 1;
    }
}

void Identifier::count_ascii(const unsigned char* at, std::size_t size) {
    // Eight tables, a byte of each word to each, so that a run of one byte value does not
    // wait on its own count and each word is loaded once.
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, at + i, 8);
        for (std::size_t t = 0; t < 8; ++t) {
            ++counts[t][(word >> (8 * t)) & 0xFF];
        }
    }
    for (; i < size; ++i) {
        ++counts[0][at[i]];
    }
    for (std::size_t b = 0x20; b < 0x80; ++b) {
        std::uint64_t total = 0;
        for (const auto& table : counts) {
            total += table[b];
        }
        counts_.bytes[b] += total;
    }
    ascii_counted_ += size;
}

void Identifier::note_byte(const unsigned char* at, std::size_t size, std::size_t i) {
    const unsigned char b = at[i];
    if (b >= 0x80) {
        note_high(at, size, i);
    } else if (b < 0x20) {
        counts_.bytes[b] += b == '\r' || b == '\n' || b == 0 ? 1 : 0;
        binary_controls_ += is_binary_control(b) ? 1 : 0;
        crlf_ += b == '\n' && previous_cr_ ? 1 : 0;
    }
    previous_cr_ = b == '\r';
}

void Identifier::note_high(const unsigned char* at, std::size_t size, std::size_t i) {
    high_seen_ = true;
    if (!count_high_) {
        return;
    }
    ++high_counted_;
    const unsigned char b = at[i];
    const unsigned char previous = i > 0 ? at[i - 1] : last_;
    const std::size_t k = b - 0x80u;
    ++counts_.bytes[b];
    counts_.high_after_lower[k] += is_lower(previous) ? 1 : 0;
    counts_.high_repeated[k] += previous == b ? 1 : 0;
    const bool before_lower = i + 1 < size && is_lower(at[i + 1]);
    counts_.high_before_lower[k] += before_lower ? 1 : 0;
    counts_.high_between_lower[k] += before_lower && is_lower(previous) ? 1 : 0;
}

}  // namespace glossek
