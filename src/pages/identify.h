// SPDX-License-Identifier: MIT
// What a file holds, found in one pass before it is converted: empty, ASCII, UTF-8, DOS or
// Windows text of the pair in force, binary data, or too little to tell; its line ends,
// NUL bytes, first Ctrl-Z and byte order mark; and a carried page that reads better than
// either side of the pair.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "pages/byte_table.h"
#include "pages/code_pages.h"
#include "pages/page_model.h"

namespace glossek {

enum class Reading { Empty, Ascii, Utf8, Dos, Windows, Binary, Unsure };

struct FileReading {
    Reading reading = Reading::Empty;
    int page = 0;        // of the reading: the pair's DOS or Windows page, or 65001; 0 for none
    int suggestion = 0;  // a carried page that reads better than the pair; 0 for none
    // The data a conversion reads (up to the first Ctrl-Z): its line ends, its lines as the
    // text files count them (CR or CR LF ends a line), its NUL bytes.
    std::uint64_t crlf = 0;
    std::uint64_t lf = 0;  // LF alone
    std::uint64_t cr = 0;  // CR alone
    std::uint64_t lines = 0;
    std::uint64_t nul = 0;
    std::optional<std::uint64_t> ctrl_z;  // where the first Ctrl-Z is
    bool bom = false;                     // a UTF-8 byte order mark begins the file
};

// The one pass: the file's bytes are fed in parts, in order, then judged for a pair.
class Identifier {
public:
    // The kernel counts control bytes and bytes above 0x7F: the plain one eight bytes at a
    // time, the vector ones (AVX2) 32.
    explicit Identifier(Kernel kernel = best_kernel()) : kernel_(kernel) {}

    void feed(const char* data, std::size_t size);
    FileReading finish(const CodePagePair& pages) const;

private:
    void feed_text(const unsigned char* at, std::size_t size);
    void feed_part(const unsigned char* at, std::size_t size);
    void count_ascii(const unsigned char* at, std::size_t size);
    // The vector kernel over as much of the text as it takes; returns how much.
    std::size_t feed_avx2(const unsigned char* at, std::size_t size);
    void count_controls(std::uint64_t word, std::uint64_t low);
    void count_high(std::uint64_t word, std::uint64_t high, std::uint64_t before,
                    std::uint64_t after);
    void note_byte(const unsigned char* at, std::size_t size, std::size_t i);
    void note_high(const unsigned char* at, std::size_t size, std::size_t i);
    ByteCounts scaled_counts() const;
    void feed_utf8(const unsigned char* at, std::size_t size);
    void feed_after_end(const unsigned char* at, std::size_t size);
    Reading judge(const CodePagePair& pages, int& page, int& suggestion) const;
    bool binary() const;

    // Bytes below 0x20 are counted in the whole text, printable ASCII in its first
    // ascii_counted_ bytes, bytes above 0x7F in high_extent_ bytes of it (all of it until
    // enough of them were counted).
    Kernel kernel_;
    ByteCounts counts_;
    std::uint64_t ascii_counted_ = 0;
    std::uint64_t high_extent_ = 0;
    std::uint64_t high_counted_ = 0;
    bool count_high_ = true;
    bool high_seen_ = false;
    std::uint64_t position_ = 0;
    std::optional<std::uint64_t> ctrl_z_;
    std::uint64_t crlf_ = 0;
    bool previous_cr_ = false;  // the byte before the next is a CR
    std::uint64_t binary_controls_ = 0;
    std::array<unsigned char, 3> head_{};  // the first bytes, for a byte order mark
    unsigned char last_ = 0;               // the last two bytes of the text fed so far
    unsigned char before_last_ = 0;
    bool next_after_high_ = false;  // the byte after the last one counts for it
    // UTF-8: continuation bytes still expected, the range of the next one, the sequences
    // above ASCII and the bytes that broke a sequence.
    int utf8_needed_ = 0;
    unsigned char utf8_low_ = 0x80;
    unsigned char utf8_high_ = 0xBF;
    std::uint64_t utf8_sequences_ = 0;
    std::uint64_t utf8_errors_ = 0;
    // After the first Ctrl-Z: bytes other than Ctrl-Z, and those that text never holds.
    std::uint64_t after_end_ = 0;
    std::uint64_t after_end_binary_ = 0;
};

// Reads the regular file `name` once. Throws TextIoError when it cannot be read or is no
// regular file (a folder, a device, a pipe): nothing but regular files is read.
FileReading identify_file(const std::string& name, const CodePagePair& pages);
// The same pass, its counts kept, to be judged for any pair.
Identifier count_file(const std::string& name);

}  // namespace glossek
