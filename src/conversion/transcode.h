// The character conversion of the two code page ways, on bytes: through a one-for-one table,
// DOS bytes to UTF-8, and UTF-8 to DOS bytes. Each counts the characters that had no exact
// counterpart in the target page and took a best fit or '?'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/code_pages.h"

namespace glossek {

// UTF-8 read one step at a time: a character, or an ill-formed part that stands for one
// replacement. Ill-formed input is taken one maximal subpart at a time, as Unicode
// recommends: the longest start of a well-formed sequence, or one byte when no well-formed
// sequence starts with it. So a truncated sequence is one step, while an overlong form,
// a surrogate or a code point past U+10FFFF is one step per byte (their second byte is
// already out of range, or their first can start nothing).
struct Utf8Step {
    static constexpr char32_t kInvalid = 0xFFFFFFFF;
    char32_t code_point = kInvalid;  // kInvalid for an ill-formed part
    std::size_t length = 1;          // bytes taken, at least 1
    bool open = false;  // the bytes ended inside what may still become a valid sequence
};

// The step at the start of [at, end), which holds at least one byte.
Utf8Step utf8_step(const unsigned char* at, const unsigned char* end);

void append_utf8(std::string& out, char32_t code_point);

// How many bytes the last character of UTF-8 text takes: its whole sequence when it is well
// formed, else 1 (the last byte). 0 for an empty text.
std::size_t last_utf8_size(std::string_view text);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A one-for-one table with its lossy entries (bit (b & 7) of byte (b >> 3); none when null),
// laid out for the translation loops.
class ByteTable {
public:
    ByteTable(const unsigned char* map, const unsigned char* lossy);

    const unsigned char* map() const { return map_; }
    // The lossy bits, then 32 zero bytes (a vector register's worth).
    const std::array<unsigned char, 64>& lossy_bits() const { return lossy_; }
    // The lossy bits by the low half of the byte: 16 rows for the bytes below 0x80, bit h for
    // high half h, then 16 for the others, bit h - 8.
    const std::array<unsigned char, 32>& lossy_rows() const { return lossy_rows_; }
    bool lossy(unsigned char byte) const { return (lossy_[byte >> 3] >> (byte & 7)) & 1; }
    // The entry and its lossy flag in one: the byte, plus 256 when it is lossy.
    std::uint16_t entry(unsigned char byte) const { return entries_[byte]; }
    // ASCII maps to itself and is never lossy (as in every supported pair): ASCII runs
    // can be copied.
    bool ascii_kept() const { return ascii_kept_; }
    // Two bytes at once, by first | second << 8: their two output bytes, and in the top half
    // how many of them are lossy. Built on demand (512 KiB), for the plain way; null before.
    void add_pairs();
    const std::uint64_t* pairs() const { return pairs_.empty() ? nullptr : pairs_.data(); }

private:
    const unsigned char* map_;
    std::array<unsigned char, 64> lossy_{};
    std::array<unsigned char, 32> lossy_rows_{};
    std::array<std::uint16_t, 256> entries_{};
    std::vector<std::uint64_t> pairs_;
    bool ascii_kept_ = true;
};

// The table translation, exposed so that tests can hold its ways against each other. Each
// writes `size` bytes of `in` through the table to `out` (which may not overlap `in`) and
// returns how many of them were lossy.
namespace translation {
// Byte by byte; AVX2, 32 bytes at a time; AVX-512 VBMI, 64 bytes at a time.
enum class Way { Plain, Avx2, Avx512 };
bool has(Way way);  // whether this processor (and build) has it
// The fastest way at hand; the plain one while force_plain is set.
Way best();
std::size_t translate(Way way, const unsigned char* in, std::size_t size, unsigned char* out,
                      const ByteTable& table);
std::size_t plain(const unsigned char* in, std::size_t size, unsigned char* out,
                  const ByteTable& table);
// Conversions made from now on take the plain way while set: for tests.
void force_plain(bool plain);
}  // namespace translation

// One way of a code page pair, converting lines or parts of lines. A UTF-8 sequence that
// a part leaves open is held for the next part; end_line() ends it.
class PageConverter {
public:
    // The way of `pages` from DOS to Windows, or from Windows to DOS.
    PageConverter(const CodePagePair& pages, bool to_windows);
    // A table of no pair (256 entries, kept by the caller); nothing is lossy.
    explicit PageConverter(const unsigned char* map);

    // The most convert() writes for `size` bytes, and the most bytes that fit `room`.
    std::size_t max_output(std::size_t size) const { return size * expansion_ + kSlack; }
    std::size_t input_for(std::size_t room) const {
        return room > kSlack ? (room - kSlack) / expansion_ : 0;
    }
    // CR and LF come out as they went in, and no sequence runs across them: whole lines
    // can be converted at once, line ends included.
    bool keeps_line_ends() const;
    // Reads UTF-8, whose byte order mark at the start of a file is dropped.
    bool reads_utf8() const { return kind_ == Kind::FromUtf8; }

    // Writes the conversion of `size` bytes of a line (or of whole lines) to `out`, which
    // has room for max_output(size) bytes; returns how many were written.
    std::size_t convert(const char* in, std::size_t size, char* out);
    // The line ends here: a sequence left open becomes '?'. Writes at most one byte.
    std::size_t end_line(char* out);
    // Characters without an exact counterpart so far.
    std::uint64_t lossy() const { return lossy_; }
    // Where the first of them lies in `size` bytes of whole lines, converted afresh; `size`
    // when there is none.
    std::size_t first_lossy(const char* in, std::size_t size) const;

private:
    enum class Kind { Table, ToUtf8, FromUtf8 };
    static constexpr std::size_t kSlack = 4;

    std::size_t to_utf8(const unsigned char* in, std::size_t size, unsigned char* out);
    std::size_t from_utf8(const unsigned char* in, std::size_t size, unsigned char* out);
    unsigned char dos_byte(char32_t code_point, bool& exact) const;

    Kind kind_;
    translation::Way way_ = translation::best();
    std::size_t expansion_ = 1;
    std::uint64_t lossy_ = 0;
    ByteTable table_;
    CodePagePair pages_;
    // DOS to UTF-8: each byte's sequence, its length in the top byte.
    std::array<std::uint32_t, 256> utf8_of_{};
    std::vector<std::uint64_t> utf8_of_pair_;  // two bytes at once, by first | second << 8
    bool has_undefined_ = false;               // the DOS page leaves some bytes undefined
    // The DOS page has ASCII as it is (all but cp864, whose 0x25 is the Arabic percent
    // sign): runs of ASCII are copied.
    bool ascii_same_ = true;
    // UTF-8 to DOS: the byte of each character of the Basic Multilingual Plane, and the
    // start of a sequence that the last part left open.
    std::vector<unsigned char> bmp_;
    std::array<unsigned char, 4> open_{};
    std::size_t open_size_ = 0;
};

}  // namespace glossek
