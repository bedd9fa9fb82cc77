// SPDX-License-Identifier: MIT
// Tables of one-byte pairs composed into one map, from each byte to what the whole table
// makes of it, so that a line of any length goes through in parts and in flat memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/engine.h"
#include "table/table.h"

namespace glossek {

// Where converted bytes go: room at the end of the output, then how much of it was used.
class ByteSink {
public:
    struct Room {
        char* data;
        std::size_t size;
    };
    virtual ~ByteSink() = default;
    // At least `minimum` bytes.
    virtual Room room(std::size_t minimum) = 0;
    virtual void wrote(std::size_t size) = 0;
};

// The pairs of a table taken together, when every line comes out of them in parts exactly
// as it does whole. That holds when (checked by compose, in table order):
// - every pair searches one byte, or searches more but can never match (a byte of its
//   search text can be in no line at that point: a line holds no CR and no Ctrl-Z, and
//   later only what the pairs before put there) and does not go through the marker word;
//   a pair of one byte then replaces each occurrence once, with nothing to search again;
// - a pair through the marker word (its replacement holds its byte) also replaces each
//   marker word of the line as it finds it. Before each such pair, the pairs so far keep
//   every letter of that word as it is and turn every other byte into a text that is not
//   empty and holds none of those letters, and the pair's replacement holds none of them:
//   then the words it finds are those of the line as read, and the first such pair
//   replaces them all;
// - no pair could reach the whole table's budget (LineLimits) on any line: no byte, and
//   no marker word for its 27 bytes, grows past table_factor times, and past a pair through
//   the marker word a margin is left for what its two phases hold at once.
// A table outside these rules takes the whole-line way, with its budgets and messages.
class BytewiseTable {
public:
    static std::optional<BytewiseTable> compose(const ConversionTable& table,
                                                std::size_t pair_count, const LineLimits& limits);

    // Converts the next part of a line into the sink; `last` with its final part (which
    // may be empty). A marker word that may run on into the next part waits for it.
    void feed(std::string_view part, bool last, ByteSink& sink);

    // What the table makes of a byte of the line, outside a marker word.
    std::string_view image(unsigned char byte) const { return images_[byte]; }

private:
    enum class Kernel { Copy, OneByte, Words, Texts };

    BytewiseTable() = default;
    void choose_kernel();
    // The marker words of `text` and the bytes between them. Unless `last`, a marker
    // word's beginning at the end is left: the length converted is returned.
    std::size_t convert_marked(std::string_view text, bool last, ByteSink& sink);
    void convert(std::string_view text, ByteSink& sink) const;
    void put(std::string_view text, ByteSink& sink) const;

    std::array<std::string, 256> images_;
    std::string marker_image_;
    bool watches_marker_ = false;
    Kernel kernel_ = Kernel::Copy;
    unsigned char changed_byte_ = 0;  // the one byte that changes, for OneByte
    std::size_t longest_ = 1;
    std::array<std::uint64_t, 256> words_{};  // each image in 8 bytes, for Words
    std::array<std::uint8_t, 256> sizes_{};
    std::string held_;  // the start of a marker word, till the next part
};

}  // namespace glossek
