// SPDX-License-Identifier: MIT
// Whole lines found in a block at vector speed: the batch conversion takes every CR LF line
// of a block at once.
#pragma once

#include <cstddef>

namespace glossek {

// The ways of looking for whole lines: 16 bytes at a time (SSE2 on x86-64, where every
// processor has it; memchr elsewhere), or 32 at a time with AVX2.
enum class LineScan { Basic, Avx2 };

// Whether this processor (and build) has the way.
bool has_line_scan(LineScan scan);
// The fastest way at hand.
LineScan best_line_scan();

// The length of the whole lines at the start of `text`: lines that hold no NUL and end with
// CR LF, up to the first NUL or lone CR. `count` is how many they are.
std::size_t find_whole_lines(const char* text, std::size_t size, std::size_t& count, LineScan scan);

}  // namespace glossek
