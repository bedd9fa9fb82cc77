// SPDX-License-Identifier: MIT
// UTF-8 read a step at a time, as Unicode recommends for ill-formed input, and written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace glossek
