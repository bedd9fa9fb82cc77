// SPDX-License-Identifier: MIT
#include "pages/identify.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>

#include "files/file_blocks.h"
#include "pages/byte_masks.h"

namespace glossek {

namespace {

using byte_masks::is_binary_control;
using byte_masks::kCtrlZ;
using byte_masks::kHighBits;
// Printable ASCII, ASCII letters among it, is counted in the first bytes of a text only:
// they tell its language as well as the whole file would, and cost a pass of their own.
constexpr std::uint64_t kLetterSample = 16 * 1024 * 1024;
// Likewise bytes above 0x7F, past the first million of them.
constexpr std::uint64_t kHighSample = 1000000;
constexpr std::uint64_t kWindow = 64 * 1024;
constexpr std::uint64_t kWindowStride = 8;
// Past this many bytes that break UTF-8, more than its sequences, a text is no UTF-8.
constexpr std::uint64_t kUtf8Errors = 64;

constexpr std::size_t kReadSize = 256 * 1024;

// One page reads better than another only by this much (hundredths of a natural log):
// a few letters' worth, so that one sentence with an accent or two decides, and a single
// odd byte does not.
constexpr long long kDecisionMargin = 1000;
// Another page is suggested only when it reads better than both sides by this much.
constexpr long long kSuggestionMargin = 1500;

// The pages looked at for a suggestion, the most used first: the first of equals wins.
constexpr int kPreferredPages[] = {850, 1252, 437, 852,  1250, 866,  1251, 737,  1253,
                                   857, 1254, 862, 1255, 864,  1256, 775,  1257, 855,
                                   858, 860,  861, 863,  865,  869,  874,  1258};

}  // namespace

void Identifier::feed(const char* data, std::size_t size) {
    const auto* at = reinterpret_cast<const unsigned char*>(data);
    while (size > 0) {
        if (ctrl_z_) {
            feed_after_end(at, size);
            position_ += size;
            return;
        }
        const void* z = std::memchr(at, kCtrlZ, size);
        const std::size_t text =
            z == nullptr ? size
                         : static_cast<std::size_t>(static_cast<const unsigned char*>(z) - at);
        feed_text(at, text);
        feed_utf8(at, text);
        position_ += text;
        if (z == nullptr) {
            return;
        }
        ctrl_z_ = position_;
        ++position_;
        at += text + 1;
        size -= text + 1;
    }
}

void Identifier::feed_text(const unsigned char* at, std::size_t size) {
    for (std::size_t k = 0; k < size && position_ + k < head_.size(); ++k) {
        head_[position_ + k] = at[k];
    }
    count_ascii(
        at, std::min<std::uint64_t>(size, kLetterSample - std::min(kLetterSample, ascii_counted_)));
    // Bytes above 0x7F are counted, one by one with their neighbours, until there are enough
    // of them to judge by; then only in one window of the text in kWindowStride.
    std::uint64_t at_position = position_;
    while (size > 0) {
        std::size_t part = size;
        count_high_ = high_counted_ < kHighSample;
        if (!count_high_) {
            part = std::min<std::uint64_t>(size, kWindow - at_position % kWindow);
            count_high_ = (at_position / kWindow) % kWindowStride == 0;
        }
        feed_part(at, part);
        high_extent_ += count_high_ ? part : 0;
        at += part;
        size -= part;
        at_position += part;
    }
}

void Identifier::feed_utf8(const unsigned char* at, std::size_t size) {
    // Sequences and the bytes that break them, counted until the breaks are too many for
    // UTF-8 that a stray byte or two spoilt.
    std::size_t i = 0;
    while (i < size && (utf8_errors_ <= kUtf8Errors || utf8_errors_ <= utf8_sequences_)) {
        if (utf8_needed_ == 0) {
            // ASCII eight bytes at a time.
            while (i + 8 <= size) {
                std::uint64_t word = 0;
                std::memcpy(&word, at + i, 8);
                if ((word & kHighBits) != 0) {
                    break;
                }
                i += 8;
            }
            if (i == size) {
                break;
            }
            const unsigned char lead = at[i++];
            if (lead < 0x80) {
                continue;
            }
            if (lead < 0xC2 || lead > 0xF4) {
                ++utf8_errors_;
                continue;
            }
            utf8_needed_ = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
            // The second byte's range rules out overlong forms, surrogates and U+110000 up.
            utf8_low_ = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
            utf8_high_ = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
            continue;
        }
        const unsigned char next = at[i];
        const bool continues = next >= utf8_low_ && next <= utf8_high_;
        utf8_low_ = 0x80;
        utf8_high_ = 0xBF;
        if (!continues) {
            ++utf8_errors_;  // the sequence is cut; the byte may start the next one
            utf8_needed_ = 0;
            continue;
        }
        ++i;
        if (--utf8_needed_ == 0) {
            ++utf8_sequences_;
        }
    }
}

void Identifier::feed_after_end(const unsigned char* at, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        after_end_ += at[i] != kCtrlZ ? 1 : 0;
        after_end_binary_ += at[i] == 0 || is_binary_control(at[i]) ? 1 : 0;
    }
}

bool Identifier::binary() const {
    const std::uint64_t text = ctrl_z_ ? *ctrl_z_ : position_;
    if (counts_.bytes[0] != 0) {
        return true;
    }
    // A few picture characters of a DOS screen are text; a file of them is not. Past the
    // first Ctrl-Z, bytes of no text weigh only when they outweigh the text before it.
    const bool controls =
        (binary_controls_ > 8 && binary_controls_ * 100 > text) || binary_controls_ * 10 > text;
    return controls || (after_end_binary_ > 0 && after_end_ > text);
}

ByteCounts Identifier::scaled_counts() const {
    // What was counted in part of the text, as much as the whole text holds.
    ByteCounts counts = counts_;
    const std::uint64_t text = ctrl_z_ ? *ctrl_z_ : position_;
    auto scale = [text](std::uint64_t& count, std::uint64_t extent) {
        if (extent > 0 && extent < text) {
            count =
                static_cast<std::uint64_t>(static_cast<double>(count) * static_cast<double>(text) /
                                           static_cast<double>(extent));
        }
    };
    for (std::size_t b = 0x20; b < 0x80; ++b) {
        scale(counts.bytes[b], ascii_counted_);
    }
    for (std::size_t k = 0; k < 128; ++k) {
        scale(counts.bytes[0x80 + k], high_extent_);
        scale(counts.high_after_lower[k], high_extent_);
        scale(counts.high_before_lower[k], high_extent_);
        scale(counts.high_between_lower[k], high_extent_);
        scale(counts.high_repeated[k], high_extent_);
    }
    return counts;
}

Reading Identifier::judge(const CodePagePair& pages, int& page, int& suggestion) const {
    if (binary()) {
        return Reading::Binary;
    }
    if ((ctrl_z_ ? *ctrl_z_ : position_) == 0) {
        return Reading::Empty;
    }
    if (!high_seen_) {
        return Reading::Ascii;
    }
    if (utf8_errors_ == 0 && utf8_needed_ == 0) {
        page = kUtf8Page;
        return Reading::Utf8;
    }
    if (utf8_sequences_ > 0 && utf8_sequences_ >= 2 * utf8_errors_) {
        return Reading::Unsure;  // UTF-8 that some bytes spoil: no one-byte page reads it
    }
    // The side of the pair that reads better must read better than every page that reads
    // the text otherwise, the other side included; failing that, a page that reads much
    // better than both sides is suggested.
    constexpr long long kNone = std::numeric_limits<long long>::min() / 2;
    const ByteCounts counts = scaled_counts();
    const long long dos = page_score(pages.oem, counts);
    const long long windows = pages.utf8() ? kNone : page_score(pages.ansi, counts);
    const bool dos_side = dos >= windows;
    const int side_page = dos_side ? pages.oem : pages.ansi;
    const long long side = std::max(dos, windows);
    long long rival = pages.utf8() || same_reading(pages.oem, pages.ansi, counts)
                          ? kNone
                          : std::min(dos, windows);
    int best_page = side_page;
    long long best = side;
    for (int other : kPreferredPages) {
        if (same_reading(other, side_page, counts)) {
            continue;
        }
        const long long score = page_score(other, counts);
        rival = std::max(rival, score);
        if (score > best) {
            best = score;
            best_page = other;
        }
    }
    if (side >= rival + kDecisionMargin) {
        page = side_page;
        return dos_side ? Reading::Dos : Reading::Windows;
    }
    if (best_page != side_page && best >= side + kSuggestionMargin) {
        suggestion = best_page;
    }
    return Reading::Unsure;
}

FileReading Identifier::finish(const CodePagePair& pages) const {
    FileReading result;
    result.reading = judge(pages, result.page, result.suggestion);
    const std::uint64_t crs = counts_.bytes['\r'];
    result.crlf = crlf_;
    result.cr = crs - crlf_;
    result.lf = counts_.bytes['\n'] - crlf_;
    // Each CR ends a line (with the LF after it, if any); text after the last one is a line.
    const bool ends_with_line_end = last_ == '\r' || (last_ == '\n' && before_last_ == '\r');
    result.lines = crs + ((ctrl_z_ ? *ctrl_z_ : position_) > 0 && !ends_with_line_end ? 1 : 0);
    result.nul = counts_.bytes[0];
    result.ctrl_z = ctrl_z_;
    result.bom = position_ >= 3 && head_[0] == 0xEF && head_[1] == 0xBB && head_[2] == 0xBF;
    return result;
}

FileReading identify_file(const std::string& name, const CodePagePair& pages) {
    return count_file(name).finish(pages);
}

Identifier count_file(const std::string& name) {
    Identifier identifier;
    read_file_blocks(name, kReadSize, [&identifier](const char* data, std::size_t size) {
        identifier.feed(data, size);
    });
    return identifier;
}

}  // namespace glossek
