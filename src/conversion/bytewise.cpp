// SPDX-License-Identifier: MIT
#include "conversion/bytewise.h"

#include <string.h>  // memmem, memrchr

#include <algorithm>
#include <cstring>

#include "conversion/replace.h"

namespace glossek {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// A pair whose replacement, or a byte's image, would be longer takes the whole-line way:
// the room asked of the output for one byte stays small.
constexpr std::size_t kLongestImage = 256;

// What the two phases of a pair through the marker word hold besides the line as it
// stands: the text the first phase has finished and the second not yet taken, under a
// piece (kMarkerPieceSize) of it. Four pieces leave a margin.
constexpr std::uint64_t kMarkerMargin = 4 * kMarkerPieceSize;

bool is_marker_letter(unsigned char byte) {
    return kMarkerWord.find(static_cast<char>(byte)) != kNone;
}

bool holds_marker_letter(std::string_view text) {
    return text.find_first_of(kMarkerWord) != kNone;
}

// Each `byte` of the text replaced once by `replacement`.
std::string replaced(const std::string& text, char byte, std::string_view replacement) {
    std::string result;
    for (char c : text) {
        if (c == byte) {
            result.append(replacement);
        } else {
            result.push_back(c);
        }
    }
    return result;
}

// The pairs applied so far: what each byte a line can hold has become, and what a marker
// word of the line became once a pair through it replaced it.
struct Composition {
    std::array<std::string, 256> images;
    std::array<bool, 256> in_line{};  // a line as read holds no CR and no Ctrl-Z
    std::string marker_image;
    bool marker_replaced = false;

    Composition() {
        for (int b = 0; b < 256; ++b) {
            images[b] = std::string(1, static_cast<char>(b));
            in_line[b] = b != '\r' && b != '\x1A';
        }
    }
    // Whether the byte can be in a line at this point.
    bool can_hold(char byte) const {
        for (int b = 0; b < 256; ++b) {
            if (in_line[b] && images[b].find(byte) != kNone) {
                return true;
            }
        }
        return marker_replaced && marker_image.find(byte) != kNone;
    }
    // Whether the marker words of the line are still those of the line as read, and no
    // other: every letter of the word kept, every other byte a text that is not empty and
    // holds none of them.
    bool keeps_marker_words() const {
        for (int b = 0; b < 256; ++b) {
            const std::string& image = images[b];
            const bool kept = is_marker_letter(static_cast<unsigned char>(b))
                                  ? image.size() == 1 && image[0] == static_cast<char>(b)
                                  : !image.empty() && !holds_marker_letter(image);
            if (in_line[b] && !kept) {
                return false;
            }
        }
        return !marker_replaced || (!marker_image.empty() && !holds_marker_letter(marker_image));
    }
    void replace(char byte, std::string_view replacement) {
        for (int b = 0; b < 256; ++b) {
            if (in_line[b] && images[b].find(byte) != kNone) {
                images[b] = replaced(images[b], byte, replacement);
            }
        }
        if (marker_replaced) {
            marker_image = replaced(marker_image, byte, replacement);
        }
    }
    // How many times the line as read it has grown at most: the longest image of a byte,
    // and of a marker word for each of its bytes, rounded up.
    std::uint64_t growth() const {
        std::uint64_t most = 0;
        for (int b = 0; b < 256; ++b) {
            most = std::max<std::uint64_t>(most, in_line[b] ? images[b].size() : 0);
        }
        if (marker_replaced) {
            const std::size_t word = kMarkerWord.size();
            most = std::max<std::uint64_t>(most, (marker_image.size() + word - 1) / word);
        }
        return most;
    }
};

// Whether the line, `before` and `after` times as long as read on either side of a pair,
// stays under the whole table's budget max(table_floor, table_factor x the line) whatever
// its length, with `margin` bytes more.
bool within_budget(std::uint64_t before, std::uint64_t after, std::uint64_t margin,
                   const LineLimits& limits) {
    const std::uint64_t most = std::max(before, after);
    const std::uint64_t factor = limits.table_factor;
    if (margin == 0) {
        return most <= factor;
    }
    // most x S + margin <= factor x S once S >= margin / (factor - most); below that the
    // line stays under the floor when margin x factor / (factor - most) does.
    std::uint64_t needed = 0;
    return most < factor && !__builtin_mul_overflow(margin, factor, &needed) &&
           needed / (factor - most) <= limits.table_floor;
}

}  // namespace

std::optional<BytewiseTable> BytewiseTable::compose(const ConversionTable& table,
                                                    std::size_t pair_count,
                                                    const LineLimits& limits) {
    Composition made;
    std::uint64_t growth = 1;
    for (std::size_t k = 0; k < pair_count && k < table.pairs.size(); ++k) {
        const std::string& search = table.pairs[k].char_from;
        const std::string& replacement = table.pairs[k].char_to;
        const bool through_marker = goes_through_marker(search, replacement);
        if (search.empty() || (search.size() > 1 && !through_marker &&
                               !std::all_of(search.begin(), search.end(),
                                            [&](char byte) { return made.can_hold(byte); }))) {
            continue;  // never finds anything, nor looks for a marker word
        }
        if (search.size() > 1 || replacement.size() > kLongestImage ||
            (through_marker && (holds_marker_letter(replacement) || !made.keeps_marker_words()))) {
            return std::nullopt;
        }
        made.replace(search[0], replacement);
        if (through_marker && !made.marker_replaced) {
            made.marker_image = replacement;
            made.marker_replaced = true;
        }
        const std::uint64_t grown = made.growth();
        if (grown > kLongestImage ||
            !within_budget(growth, grown, through_marker ? kMarkerMargin : 0, limits)) {
            return std::nullopt;
        }
        growth = grown;
    }
    BytewiseTable composed;
    composed.images_ = std::move(made.images);
    composed.marker_image_ = std::move(made.marker_image);
    composed.watches_marker_ = made.marker_replaced;
    composed.choose_kernel();
    return composed;
}

void BytewiseTable::choose_kernel() {
    std::size_t changed = 0;
    longest_ = 1;
    for (int b = 0; b < 256; ++b) {
        const std::string& image = images_[b];
        if (image.size() != 1 || image[0] != static_cast<char>(b)) {
            ++changed;
            changed_byte_ = static_cast<unsigned char>(b);
        }
        longest_ = std::max(longest_, image.size());
        sizes_[b] = static_cast<std::uint8_t>(std::min<std::size_t>(image.size(), 8));
        std::memcpy(&words_[b], image.data(), sizes_[b]);
    }
    kernel_ = changed == 0    ? Kernel::Copy
              : changed == 1  ? Kernel::OneByte
              : longest_ <= 8 ? Kernel::Words
                              : Kernel::Texts;
}

void BytewiseTable::feed(std::string_view part, bool last, ByteSink& sink) {
    if (!watches_marker_) {
        convert(part, sink);
        return;
    }
    if (!held_.empty()) {
        // The next bytes settle whether the held ones begin a marker word.
        const std::size_t held = held_.size();
        const std::size_t lent = std::min(part.size(), kMarkerWord.size());
        held_.append(part.substr(0, lent));
        const std::size_t used = convert_marked(held_, last && lent == part.size(), sink);
        if (used < held) {  // the whole part was lent, and still not enough
            held_.erase(0, used);
            return;
        }
        part.remove_prefix(used - held);
        held_.clear();
    }
    held_.assign(part.substr(convert_marked(part, last, sink)));
}

std::size_t BytewiseTable::convert_marked(std::string_view text, bool last, ByteSink& sink) {
    std::size_t end = text.size();
    if (!last && end > 0) {
        // The word's first letter is in it once, so only the last one near the end can
        // begin a word that the next part completes.
        const std::size_t from = end - std::min(end, kMarkerWord.size() - 1);
        const void* first = ::memrchr(text.data() + from, kMarkerWord.front(), end - from);
        if (first != nullptr) {
            const auto at = static_cast<std::size_t>(static_cast<const char*>(first) - text.data());
            if (kMarkerWord.starts_with(text.substr(at))) {
                end = at;
            }
        }
    }
    std::size_t from = 0;
    while (from < end) {
        const void* word =
            ::memmem(text.data() + from, end - from, kMarkerWord.data(), kMarkerWord.size());
        const std::size_t at =
            word == nullptr
                ? end
                : static_cast<std::size_t>(static_cast<const char*>(word) - text.data());
        convert(text.substr(from, at - from), sink);
        if (word == nullptr) {
            break;
        }
        put(marker_image_, sink);
        from = at + kMarkerWord.size();
    }
    return end;
}

void BytewiseTable::put(std::string_view text, ByteSink& sink) const {
    while (!text.empty()) {
        const ByteSink::Room room = sink.room(1);
        const std::size_t size = std::min(text.size(), room.size);
        std::memcpy(room.data, text.data(), size);
        sink.wrote(size);
        text.remove_prefix(size);
    }
}

// The output's room is asked for the longest image a byte may take, and 8 bytes more that
// the Words kernel writes past an image shorter than 8.
void BytewiseTable::convert(std::string_view text, ByteSink& sink) const {
    constexpr std::size_t kSlack = 8;
    while (!text.empty()) {
        const ByteSink::Room room = sink.room(longest_ + kSlack);
        const std::size_t take = std::min(text.size(), (room.size - kSlack) / longest_);
        const auto* in = reinterpret_cast<const unsigned char*>(text.data());
        const unsigned char* const end = in + take;
        char* out = room.data;
        if (kernel_ == Kernel::Copy) {
            std::memcpy(out, in, take);
            out += take;
        } else if (kernel_ == Kernel::OneByte) {
            const std::string& image = images_[changed_byte_];
            for (;;) {
                const auto* hit = static_cast<const unsigned char*>(
                    std::memchr(in, changed_byte_, static_cast<std::size_t>(end - in)));
                const unsigned char* stop = hit == nullptr ? end : hit;
                std::memcpy(out, in, static_cast<std::size_t>(stop - in));
                out += stop - in;
                if (hit == nullptr) {
                    break;
                }
                std::memcpy(out, image.data(), image.size());
                out += image.size();
                in = hit + 1;
            }
        } else if (kernel_ == Kernel::Words) {
            for (; in < end; ++in) {
                std::memcpy(out, &words_[*in], kSlack);
                out += sizes_[*in];
            }
        } else {
            for (; in < end; ++in) {
                const std::string& image = images_[*in];
                std::memcpy(out, image.data(), image.size());
                out += image.size();
            }
        }
        sink.wrote(static_cast<std::size_t>(out - room.data));
        text.remove_prefix(take);
    }
}

}  // namespace glossek
