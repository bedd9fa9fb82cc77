// SPDX-License-Identifier: MIT
// One replacement pair applied to one line, cascading as the table's users expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace glossek {

// The word that stands in for the search text while a pair whose replacement contains its
// own search text is applied.
inline constexpr std::string_view kMarkerWord = "Awayuhatopotoptopotopmiahou";

// Whether a pair goes through the marker word: its replacement holds its search text, which
// is no part of that word. Such a pair also replaces a marker word already in the line.
bool goes_through_marker(std::string_view search, std::string_view replacement);

// How far a pair may go on one line before it is stopped: some pairs never come to an end,
// and from outside a pair that would end late looks the same as one that never ends.
struct ReplacementBudget {
    // Bytes the line may come to while the pair works on it.
    std::uint64_t max_length;
    // Replacements; a pair that goes through the marker word counts those of both phases.
    std::uint64_t max_replacements;
};

// The budget of a pair on a line of `line_size` bytes (README, "Replacement budgets").
ReplacementBudget replacement_budget(std::size_t line_size, std::string_view search,
                                     std::string_view replacement);

// A pair stopped because it went past its budget on a line. replace_all leaves the pair and
// line numbers 0 and the files empty; the engine adds them before the error leaves it.
class ReplacementGuardError : public std::runtime_error {
public:
    enum class Reason {
        Growth,       // the line went past max_length bytes
        Count,        // the pair made max_replacements replacements and had more to make
        TableGrowth,  // the line went past the cap of the whole table (see replace_all_in_place)
    };
    // `limit` is the figure of the budget that was exceeded; `input` the file converted and
    // `table` the table file the pair comes from, when known.
    ReplacementGuardError(Reason reason, std::size_t pair, long long line, std::uint64_t limit,
                          std::string input = {}, std::string table = {});
    Reason reason() const { return reason_; }
    std::size_t pair() const { return pair_; }
    long long line() const { return line_; }
    std::uint64_t limit() const { return limit_; }
    const std::string& input() const { return input_; }
    const std::string& table() const { return table_; }

private:
    Reason reason_;
    std::size_t pair_;
    long long line_;
    std::uint64_t limit_;
    std::string input_;
    std::string table_;
};

// Replaces the leftmost occurrence of `search` in the line by `replacement` and searches
// again, so text that a replacement produces is searched too ('aaaa' with 'aa' -> 'a' gives
// 'a'). When the replacement holds the search text, every occurrence is replaced once.
// Throws ReplacementGuardError for a pair that goes past replacement_budget.
std::string replace_all(std::string_view source, std::string_view search,
                        std::string_view replacement);

// How much finished text the first phase of a pair through the marker word gathers before
// the second phase takes it.
inline constexpr std::size_t kMarkerPieceSize = 64 * 1024;

// replace_all within a budget of the caller's choosing. Tests also make `piece_size` small,
// so that the hand-over between the two phases falls everywhere.
std::string replace_all(std::string_view source, std::string_view search,
                        std::string_view replacement, const ReplacementBudget& budget,
                        std::size_t piece_size = kMarkerPieceSize);

// The same on a line in place; a line the pair leaves alone is not copied. The line may
// never grow past `line_cap` bytes, whatever the pair's own budget: past it the pair is
// stopped with TableGrowth, whose limit is line_cap.
void replace_all_in_place(std::string& line, std::string_view search, std::string_view replacement,
                          std::uint64_t line_cap = UINT64_MAX);

// replace_all_in_place from a line into `result`, which it leaves alone, returning false,
// when the pair leaves the line as it is.
bool replace_all_to(std::string_view line, std::string_view search, std::string_view replacement,
                    std::uint64_t line_cap, std::string& result);

// Gives back the scratch of replace_all_in_place past a small size: after the pairs of a long
// line, whose next pair would have used it again.
void release_replacement_scratch();

// False when replace_all_in_place would leave the line as it is without looking further:
// neither the search text nor, for a pair that goes through the marker word, that word
// occurs in it.
bool pair_applies_to(std::string_view line, std::string_view search, std::string_view replacement);
// Where it would first change the line: the first of those occurrences, or npos.
std::size_t first_change(std::string_view line, std::string_view search,
                         std::string_view replacement);

}  // namespace glossek
