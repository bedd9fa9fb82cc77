// SPDX-License-Identifier: MIT
// The rescanning loop that applies one replacement pair, and the budget that watches it.
// Used by the replacement procedure alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/replace.h"

namespace glossek::rescan {

// The floors of the budget, for short lines. Fuzzing builds lower them, so that each
// endless pair is stopped in a fraction of the time under instrumentation.
#ifndef GLOSSEK_GUARD_FLOOR_SHIFT
#define GLOSSEK_GUARD_FLOOR_SHIFT 26
#endif
inline constexpr std::uint64_t kLengthFloor = std::uint64_t{1} << GLOSSEK_GUARD_FLOOR_SHIFT;
inline constexpr std::uint64_t kReplacementFloor = std::uint64_t{1}
                                                   << (GLOSSEK_GUARD_FLOOR_SHIFT + 2);
// Cascades that neither grow nor shrink the line may make |S|^2 replacements, up to this:
// about ten seconds of work, enough for the swap ba -> ab on b^32000 a^32000.
inline constexpr std::uint64_t kReplacementCeiling = std::uint64_t{1} << 30;

inline std::uint64_t saturated_add(std::uint64_t a, std::uint64_t b) {
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

inline std::uint64_t saturated_mul(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

// Where `search` (not empty) first occurs in `text`, or npos.
std::size_t find_text(std::string_view text, std::string_view search);

class Stage;

// What a pair has done on a line so far, against its budget. The length counted is what
// the stages hold: the line as it stands while they work on it.
class Guard {
public:
    // A budget of the caller's choosing.
    explicit Guard(const ReplacementBudget& budget) : budget_(budget), worked_out_(true) {}
    // The pair's own budget on the line. Most lines never come near its floors, so it is
    // worked out only when a pair passes them.
    Guard(std::size_t line_size, std::string_view search, std::string_view replacement)
        : budget_{saturated_add(saturated_mul(line_size, 2), kLengthFloor), kReplacementFloor},
          line_size_(line_size),
          search_(search),
          replacement_(replacement) {}
    void watch(const Stage& stage) { stages_[watched_++] = &stage; }
    // A length the line may never pass, whatever the budget: past it TableGrowth.
    void cap_line(std::uint64_t cap) { cap_ = cap; }

    void count_replacement() {
        if (++replacements_ > budget_.max_replacements) {
            work_out();
            if (replacements_ > budget_.max_replacements) {
                throw ReplacementGuardError(ReplacementGuardError::Reason::Count, 0, 0,
                                            budget_.max_replacements);
            }
        }
    }
    void check_length();

private:
    void work_out() {
        if (!worked_out_) {
            budget_ = replacement_budget(line_size_, search_, replacement_);
            worked_out_ = true;
        }
    }

    ReplacementBudget budget_;  // till worked out, floors below the budget
    bool worked_out_ = false;
    std::size_t line_size_ = 0;
    std::string_view search_;
    std::string_view replacement_;
    std::uint64_t replacements_ = 0;
    std::uint64_t cap_ = UINT64_MAX;
    std::array<const Stage*, 2> stages_{};
    std::size_t watched_ = 0;
};

struct StageBuffers {
    std::string front;
    std::string spare;
};

// One rescanning loop: the leftmost occurrence of the search text is replaced and the
// search starts again. Its text is `done` (searched, no occurrence lies wholly in it),
// then the front (bytes still to search that replacements made or that wait for more
// input), then the tail (the input piece being searched where it lies).
//
// After a replacement at i no occurrence can start before i - |F| + 1, and none before i at
// all unless the search text, started up to reach_back_ bytes early, runs into the
// replacement; so at most reach_back_ bytes are taken back from `done` to be searched
// again. A stage that hands its finished text on to a next stage hands on only what can
// never be taken back.
class Stage {
public:
    Stage(std::string_view search, std::string_view replacement, Guard& guard, std::string& done,
          StageBuffers& buffers, Stage* next, std::size_t piece_size);

    // Searches `piece`, which follows what came before; `last` when no more input comes.
    // The piece is not kept beyond the call.
    void feed(std::string_view piece, bool last);
    // Bytes before the first piece that are known to hold no occurrence: done at once.
    void take_searched(std::string_view bytes) { finish(bytes); }

    std::size_t held() const;

private:
    void run(bool last);

    // The occurrence ended at front_[rest_from]: the bytes taken back and the replacement
    // go in front of the rest, in the room there or in room made for them.
    void replace(std::size_t rest_from);

    // Bytes that follow the front go to its end. A front that keeps moving on (a cascade
    // that eats the tail) leaves room behind it that nothing uses: that is given up first.
    void append_to_front(const char* bytes, std::size_t size);

    // Searched bytes with no occurrence in them go to `done`.
    void finish(std::string_view bytes);

    // After `added` bytes went to `done`: what no cascade can take back any more goes on to
    // the next stage, a piece at a time.
    void hand_on_what_is_safe(std::size_t added);

    void hand_on(bool last);

    std::string_view search_;
    std::string_view replacement_;
    std::size_t keep_;  // |F| - 1: how far an occurrence reaches past its first byte
    std::size_t reach_back_ = 0;
    bool cascades_ = false;  // whether a replacement can make an occurrence in or before it
    std::array<bool, 256> takeable_;  // only with a next stage: set in the constructor
    Guard& guard_;
    Stage* next_;
    std::size_t piece_size_;
    std::string& done_;
    std::string& front_;  // the front is front_[front_at_, end), with room before it
    std::string& spare_;
    std::size_t front_at_ = 0;
    std::string_view tail_;
    std::size_t safe_ = 0;    // with a next stage: done_[0, safe_) is never taken back
    std::size_t handed_ = 0;  // done_[0, handed_) has gone to the next stage
};

}  // namespace glossek::rescan
