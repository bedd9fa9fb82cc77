// SPDX-License-Identifier: MIT
// How well a text reads through a code page: the letters it makes, weighed by how often each
// occurs in the languages the page is written in, and what the bytes around them say
// (an upper-case letter inside a word, a symbol between letters, box drawing in runs).
#pragma once

#include <array>
#include <cstdint>

namespace glossek {

// What one pass over a text counted for the page model.
struct ByteCounts {
    std::array<std::uint64_t, 256> bytes{};
    // Bytes 0x80 + k right after an ASCII letter a to z, right before one, and right after
    // themselves.
    std::array<std::uint64_t, 128> high_after_lower{};
    std::array<std::uint64_t, 128> high_before_lower{};
    std::array<std::uint64_t, 128> high_between_lower{};  // right after one and before one
    std::array<std::uint64_t, 128> high_repeated{};
};

// How the text reads through `page` (a carried one-byte page): 100 x its log-likelihood
// under the page's language it fits best. Only differences between pages mean anything.
long long page_score(int page, const ByteCounts& counts);

// True when the two pages give the same character for every byte above 0x7F the text holds.
bool same_reading(int first, int second, const ByteCounts& counts);

// The page of the other side that goes with `page` for the same languages (1251 for 866,
// 852 for 1250, ...).
int partner_page(int page);

}  // namespace glossek
