// SPDX-License-Identifier: MIT
// The character conversion of the two code page ways, on bytes: through a one-for-one table,
// DOS bytes to UTF-8, and UTF-8 to DOS bytes. Each counts the characters that had no exact
// counterpart in the target page and took a best fit or '?'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pages/byte_table.h"
#include "pages/code_pages.h"
#include "pages/kernels.h"
#include "pages/utf8.h"

namespace glossek {

// One way of a code page pair, converting lines or parts of lines. A UTF-8 sequence that
// a part leaves open is held for the next part; end_line() ends it.
class PageConverter {
public:
    // The way of `pages` from DOS to Windows, or from Windows to DOS; a table goes through
    // `kernel`, which the processor must have.
    PageConverter(const CodePagePair& pages, bool to_windows, Kernel kernel = best_kernel());
    // A table of no pair (256 entries, kept by the caller); nothing is lossy.
    explicit PageConverter(const unsigned char* map, Kernel kernel = best_kernel());

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

    // The tables of the UTF-8 ways.
    void prepare_to_utf8(const CodePagePair& pages);
    void prepare_from_utf8(const CodePagePair& pages);
    std::size_t to_utf8(const unsigned char* in, std::size_t size, unsigned char* out);
    std::size_t from_utf8(const unsigned char* in, std::size_t size, unsigned char* out);
    // The sequence a part left open, ended or still open (`still_open`) with the start of
    // `in`: writes its byte when it ended. Returns how many bytes of `in` it took.
    std::size_t finish_open_sequence(const unsigned char* in, std::size_t size, unsigned char* out,
                                     bool& still_open);
    unsigned char dos_byte(char32_t code_point, bool& exact) const;
    // The vector kernel of the way, from the start of `in`, as far as it goes.
    KernelProgress kernel_to_utf8(const unsigned char* in, std::size_t size,
                                  unsigned char* out) const;
    KernelProgress kernel_from_utf8(const unsigned char* in, std::size_t size,
                                    unsigned char* out) const;
    // The kernel from `at` on, moving `at` and `put` past what it took; whether it took all.
    bool kernel_round(const unsigned char*& at, const unsigned char* end, unsigned char*& put,
                      std::uint64_t& lossy) const;

    Kind kind_;
    Kernel kernel_;
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
    // A UTF-8 way through a vector kernel (the page keeps ASCII), and its tables.
    bool vector_ = false;
    HighSequences high_;
    std::vector<std::uint32_t> two_byte_;
    TwoByteWindow window_;
    // UTF-8 to DOS: the byte of each character of the Basic Multilingual Plane, and the
    // start of a sequence that the last part left open.
    std::vector<unsigned char> bmp_;
    std::array<unsigned char, 4> open_{};
    std::size_t open_size_ = 0;
};

}  // namespace glossek
