// SPDX-License-Identifier: MIT
// The replacement procedure as its users describe it, built out in full: the reference
// that the unit tests and the fuzz target hold replace_all against.
#pragma once

#include <string>
#include <string_view>

#include "conversion/replace.h"

namespace glossek::test {

// Searched from the start of the text after every replacement; false past `limit` steps (a
// pair that would never end). An empty search text changes nothing.
inline bool rescan(std::string& text, std::string_view search, std::string_view replacement,
                   int limit) {
    if (search.empty()) {
        return true;
    }
    for (int steps = 0;; ++steps) {
        const auto at = text.find(search);
        if (at == std::string::npos) {
            return true;
        }
        if (steps == limit) {
            return false;
        }
        text.replace(at, search.size(), replacement);
    }
}

// Every occurrence replaced once, left to right.
inline std::string each_once(const std::string& text, const std::string& search,
                             const std::string& replacement) {
    std::string result;
    std::size_t from = 0;
    for (auto at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
        result.append(text, from, at - from).append(replacement);
        from = at + search.size();
    }
    return result.append(text, from);
}

// The whole procedure: a replacement that holds its search text goes through the marker
// word in two phases (or is made once per occurrence when the search text is part of that
// word). False when it goes on past `limit` steps a phase.
inline bool model_replace_all(const std::string& line, const std::string& search,
                              const std::string& replacement, int limit, std::string& result) {
    result = line;
    if (search.empty() || replacement.find(search) == std::string::npos) {
        return rescan(result, search, replacement, limit);
    }
    if (kMarkerWord.find(search) != std::string_view::npos) {
        result = each_once(line, search, replacement);
        return true;
    }
    return rescan(result, search, kMarkerWord, limit) &&
           rescan(result, kMarkerWord, replacement, limit);
}

}  // namespace glossek::test
