// SPDX-License-Identifier: MIT
#include "conversion/replace.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "conversion/replace_stage.h"

namespace glossek {

namespace {

using rescan::find_text;
using rescan::Guard;
using rescan::kLengthFloor;
using rescan::kReplacementCeiling;
using rescan::kReplacementFloor;
using rescan::saturated_add;
using rescan::saturated_mul;
using rescan::Stage;
using rescan::StageBuffers;

std::string guard_message(ReplacementGuardError::Reason reason, std::size_t pair, long long line,
                          std::uint64_t limit) {
    std::string text =
        "Replacement pair " + std::to_string(pair) + " on line " + std::to_string(line) + ": ";
    text += reason == ReplacementGuardError::Reason::Count
                ? "stopped after " + std::to_string(limit) + " replacements"
                : "stopped when the line grew past " + std::to_string(limit) + " bytes";
    return text;
}

// How many times `search` occurs in `text`, left to right without overlapping.
std::uint64_t occurrences(std::string_view text, std::string_view search) {
    if (search.size() == 1) {
        return static_cast<std::uint64_t>(std::count(text.begin(), text.end(), search.front()));
    }
    std::uint64_t count = 0;
    for (std::size_t at = find_text(text, search); at != std::string_view::npos;
         at = find_text(text, search)) {
        ++count;
        text.remove_prefix(at + search.size());
    }
    return count;
}

// Every occurrence replaced once, left to right, nothing searched again. The result's size
// is known first: a line that would pass `line_cap` is stopped before it is built.
void replace_each_once(std::string_view source, std::string_view search,
                       std::string_view replacement, std::uint64_t line_cap, std::string& result) {
    const std::uint64_t count = occurrences(source, search);
    const std::uint64_t size = saturated_add(source.size() - count * search.size(),
                                             saturated_mul(count, replacement.size()));
    if (size > line_cap) {
        throw ReplacementGuardError(ReplacementGuardError::Reason::TableGrowth, 0, 0, line_cap);
    }
    result.resize(size);
    char* out = result.data();
    if (search.size() == 1) {
        const char byte = search.front();
        for (char c : source) {
            if (c != byte) {
                *out++ = c;
            } else if (!replacement.empty()) {
                std::memcpy(out, replacement.data(), replacement.size());
                out += replacement.size();
            }
        }
        return;
    }
    for (std::size_t at = find_text(source, search); at != std::string_view::npos;
         at = find_text(source, search)) {
        std::memcpy(out, source.data(), at);
        if (!replacement.empty()) {
            std::memcpy(out + at, replacement.data(), replacement.size());
        }
        out += at + replacement.size();
        source.remove_prefix(at + search.size());
    }
    std::memcpy(out, source.data(), source.size());
}

// The strings one replacement needs besides its source.
struct Buffers {
    std::string result;
    std::string marked;  // the first phase's finished text not yet taken by the second
    StageBuffers first;
    StageBuffers second;
};

// Scratch kept between lines up to this size; a huge line's is given back.
constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;

// Whether a buffer holds more than kKeptCapacity and more than `line_size`.
bool keeps_too_much(const Buffers& buffers, std::size_t line_size) {
    const std::size_t kept = std::max(kKeptCapacity, line_size);
    for (const std::string* text :
         {&buffers.result, &buffers.marked, &buffers.first.front, &buffers.first.spare,
          &buffers.second.front, &buffers.second.spare}) {
        if (text->capacity() > kept) {
            return true;
        }
    }
    return false;
}

// Kept from line to line, so that a conversion does not allocate for each line it changes.
Buffers& scratch() {
    thread_local Buffers buffers;
    return buffers;
}

// Room for the result as a pair that lengthens the line a little makes it, so that a long
// line's result is not moved when it outgrows the line; room never written costs no memory.
// Room taken anew costs a fault for each page written, so the room of the pair before is
// used when it will do, and new room leaves some for the pairs after.
void reserve_result(std::string_view source, std::string_view search, std::string_view replacement,
                    std::string& result) {
    const std::size_t wanted =
        source.size() + (replacement.size() > search.size() ? source.size() / 4 : 0);
    if (result.capacity() < wanted) {
        result.reserve(wanted + wanted / 4);
    }
}

// replace_all into buffers.result, within `budget` or, without one, the pair's own budget on
// the line; `source` must not lie in the buffers.
// `unchanged` bytes at the start of the source are known to hold no occurrence.
void replace_into(std::string_view source, std::string_view search, std::string_view replacement,
                  const ReplacementBudget* budget, std::size_t piece_size, std::uint64_t line_cap,
                  Buffers& buffers, std::size_t unchanged = 0) {
    if (search.empty()) {
        buffers.result.assign(source);
        return;
    }
    if (replacement.find(search) == std::string_view::npos) {
        Guard guard =
            budget != nullptr ? Guard(*budget) : Guard(source.size(), search, replacement);
        guard.cap_line(line_cap);
        Stage stage(search, replacement, guard, buffers.result, buffers.first, nullptr, piece_size);
        guard.watch(stage);
        reserve_result(source, search, replacement, buffers.result);
        stage.take_searched(source.substr(0, unchanged));
        stage.feed(source.substr(unchanged), true);
    } else if (kMarkerWord.find(search) != std::string_view::npos) {
        // The replacement holds the search text: every occurrence becomes the marker word,
        // then every marker word becomes the replacement. When the search text is part of
        // the marker word that first loop would never end; replacing each occurrence once is
        // what it means.
        replace_each_once(source, search, replacement, line_cap, buffers.result);
    } else {
        // The two phases run together: what the first has finished goes on to the second as
        // it comes, so the line with all its marker words is never built.
        Guard guard =
            budget != nullptr ? Guard(*budget) : Guard(source.size(), search, replacement);
        guard.cap_line(line_cap);
        Stage second(kMarkerWord, replacement, guard, buffers.result, buffers.second, nullptr,
                     piece_size);
        Stage first(search, kMarkerWord, guard, buffers.marked, buffers.first, &second, piece_size);
        guard.watch(first);
        guard.watch(second);
        reserve_result(source, search, replacement, buffers.result);
        first.feed(source, true);
    }
}

}  // namespace

bool goes_through_marker(std::string_view search, std::string_view replacement) {
    return !search.empty() && replacement.find(search) != std::string_view::npos &&
           kMarkerWord.find(search) == std::string_view::npos;
}

ReplacementBudget replacement_budget(std::size_t line_size, std::string_view search,
                                     std::string_view replacement) {
    const std::uint64_t size = line_size;
    const std::uint64_t search_size = std::max<std::size_t>(search.size(), 1);
    // A marker word may come to stand for every byte of the line, and some of it stay.
    const std::uint64_t replacement_size =
        goes_through_marker(search, replacement)
            ? std::max<std::uint64_t>(replacement.size(),
                                      saturated_mul(kMarkerWord.size(), search_size))
            : replacement.size();
    // (2 + |P| / |F|) x |S|, rounded up, plus the floor.
    const std::uint64_t grown = saturated_mul(size, replacement_size);
    const std::uint64_t ratio_part = grown / search_size + (grown % search_size != 0 ? 1 : 0);
    ReplacementBudget budget{};
    budget.max_length =
        saturated_add(saturated_add(saturated_mul(size, 2), ratio_part), kLengthFloor);
    const std::uint64_t quadratic = size < (std::uint64_t{1} << 32)
                                        ? std::min(size * size, kReplacementCeiling)
                                        : kReplacementCeiling;
    budget.max_replacements = std::max({kReplacementFloor, quadratic, saturated_mul(size, 4)});
    return budget;
}

ReplacementGuardError::ReplacementGuardError(Reason reason, std::size_t pair, long long line,
                                             std::uint64_t limit, std::string input,
                                             std::string table)
    : std::runtime_error(guard_message(reason, pair, line, limit)),
      reason_(reason),
      pair_(pair),
      line_(line),
      limit_(limit),
      input_(std::move(input)),
      table_(std::move(table)) {}

std::string replace_all(std::string_view source, std::string_view search,
                        std::string_view replacement) {
    Buffers buffers;
    replace_into(source, search, replacement, nullptr, kMarkerPieceSize, UINT64_MAX, buffers);
    return std::move(buffers.result);
}

std::string replace_all(std::string_view source, std::string_view search,
                        std::string_view replacement, const ReplacementBudget& budget,
                        std::size_t piece_size) {
    Buffers buffers;
    replace_into(source, search, replacement, &budget, piece_size, UINT64_MAX, buffers);
    return std::move(buffers.result);
}

std::size_t first_change(std::string_view line, std::string_view search,
                         std::string_view replacement) {
    if (search.empty()) {
        return std::string_view::npos;
    }
    const std::size_t at = find_text(line, search);
    // A marker word already in the line is replaced even where the search text is absent.
    if (!goes_through_marker(search, replacement)) {
        return at;
    }
    return std::min(at, find_text(line.substr(0, at == std::string_view::npos ? line.size() : at),
                                  kMarkerWord));
}

bool pair_applies_to(std::string_view line, std::string_view search, std::string_view replacement) {
    return first_change(line, search, replacement) != std::string_view::npos;
}

bool replace_all_to(std::string_view line, std::string_view search, std::string_view replacement,
                    std::uint64_t line_cap, std::string& result) {
    const std::size_t first = first_change(line, search, replacement);
    if (first == std::string_view::npos) {
        return false;
    }
    Buffers& buffers = scratch();
    try {
        replace_into(line, search, replacement, nullptr, kMarkerPieceSize, line_cap, buffers,
                     first);
    } catch (const ReplacementGuardError&) {
        buffers = Buffers{};  // a stopped pair may leave a huge line's worth of scratch
        throw;
    }
    result.swap(buffers.result);
    // Kept for the next pair of the line while it is of the line's size: memory given back
    // and taken again costs a fault for every page of it.
    if (keeps_too_much(buffers, 2 * result.size())) {
        buffers = Buffers{};
    }
    return true;
}

void replace_all_in_place(std::string& line, std::string_view search, std::string_view replacement,
                          std::uint64_t line_cap) {
    replace_all_to(line, search, replacement, line_cap, line);
}

void release_replacement_scratch() {
    Buffers& buffers = scratch();
    if (keeps_too_much(buffers, 0)) {
        buffers = Buffers{};
    }
}

}  // namespace glossek
