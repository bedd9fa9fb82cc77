// SPDX-License-Identifier: MIT
#include "pages/utf8.h"

#include <algorithm>

namespace glossek {

Utf8Step utf8_step(const unsigned char* at, const unsigned char* end) {
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        return {lead, 1, false};
    }
    if (lead < 0xC2 || lead > 0xF4) {
        return {};  // a continuation byte, an overlong lead (C0, C1) or past U+10FFFF
    }
    const std::size_t trail = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    // The second byte's range rules out overlong forms, surrogates and U+110000 and up.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead == 0xE0) {
        low = 0xA0;
    } else if (lead == 0xED) {
        high = 0x9F;
    } else if (lead == 0xF0) {
        low = 0x90;
    } else if (lead == 0xF4) {
        high = 0x8F;
    }
    char32_t code_point = lead & (0x7F >> (trail + 1));
    for (std::size_t k = 1; k <= trail; ++k) {
        if (at + k == end) {
            return {Utf8Step::kInvalid, k, true};
        }
        const unsigned char byte = at[k];
        if (byte < low || byte > high) {
            return {Utf8Step::kInvalid, k, false};
        }
        low = 0x80;
        high = 0xBF;
        code_point = (code_point << 6) | (byte & 0x3F);
    }
    return {code_point, trail + 1, false};
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t last_utf8_size(std::string_view text) {
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = begin + text.size();
    for (std::size_t size = 1; size <= std::min<std::size_t>(4, text.size()); ++size) {
        const unsigned char* start = end - size;
        if ((*start & 0xC0) != 0x80) {  // the nearest byte that is no continuation byte
            const Utf8Step step = utf8_step(start, end);
            return step.code_point != Utf8Step::kInvalid && step.length == size ? size : 1;
        }
    }
    return text.empty() ? 0 : 1;
}

}  // namespace glossek
