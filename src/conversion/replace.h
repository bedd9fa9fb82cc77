// One replacement pair applied to one line, cascading as the table's users expect.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace glossek {

// The word that stands in for the search text while a pair whose replacement contains its
// own search text is applied.
inline constexpr std::string_view kMarkerWord = "Awayuhatopotoptopotopmiahou";

// A pair whose replacements would never come to an end on a line. The engine adds the pair
// number and the line number before the error leaves it.
class ReplacementGuardError : public std::runtime_error {
public:
    enum class Reason { Grows, Endless };
    explicit ReplacementGuardError(Reason reason, std::size_t pair = 0, long long line = 0);
    Reason reason() const { return reason_; }
    std::size_t pair() const { return pair_; }
    long long line() const { return line_; }

private:
    Reason reason_;
    std::size_t pair_;
    long long line_;
};

// Replaces the leftmost occurrence of `search` in the line by `replacement` and searches
// again, so text that a replacement produces is searched too ('aaaa' with 'aa' -> 'a' gives
// 'a'). When the replacement holds the search text, every occurrence is replaced once.
// Throws ReplacementGuardError for a pair whose cascade would never end.
std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement);

// The same on a line in place; a line the pair leaves alone is not copied.
void replace_all_in_place(std::string& line, std::string_view search, std::string_view replacement);

// False when replace_all_in_place would leave the line as it is without looking further:
// neither the search text nor, for a pair that goes through the marker word, that word
// occurs in it.
bool pair_applies_to(std::string_view line, std::string_view search, std::string_view replacement);

}  // namespace glossek
