#include "conversion/replace.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossek {

namespace {

// The floors of the budget, for short lines. Fuzzing builds lower them, so that each
// endless pair is stopped in a fraction of the time under instrumentation.
#ifndef GLOSSEK_GUARD_FLOOR_SHIFT
#define GLOSSEK_GUARD_FLOOR_SHIFT 26
#endif
constexpr std::uint64_t kLengthFloor = std::uint64_t{1} << GLOSSEK_GUARD_FLOOR_SHIFT;
constexpr std::uint64_t kReplacementFloor = std::uint64_t{1} << (GLOSSEK_GUARD_FLOOR_SHIFT + 2);
// Cascades that neither grow nor shrink the line may make |S|^2 replacements, up to this:
// about ten seconds of work, enough for the swap ba -> ab on b^32000 a^32000.
constexpr std::uint64_t kReplacementCeiling = std::uint64_t{1} << 30;

std::uint64_t saturated_add(std::uint64_t a, std::uint64_t b) {
    std::uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

std::uint64_t saturated_mul(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? UINT64_MAX : product;
}

bool goes_through_marker(std::string_view search, std::string_view replacement) {
    return !search.empty() && replacement.find(search) != std::string_view::npos &&
           kMarkerWord.find(search) == std::string_view::npos;
}

std::string guard_message(ReplacementGuardError::Reason reason, std::size_t pair, long long line,
                          std::uint64_t limit) {
    std::string text =
        "Replacement pair " + std::to_string(pair) + " on line " + std::to_string(line) + ": ";
    text += reason == ReplacementGuardError::Reason::Growth
                ? "stopped when the line grew past " + std::to_string(limit) + " bytes"
                : "stopped after " + std::to_string(limit) + " replacements";
    return text;
}

// Byte for byte; the texts compared here are a few bytes long, where a call costs more.
bool same_bytes(const char* a, const char* b, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// Where `search` (not empty) first occurs in `text`, or npos. Lines are short and the
// search texts' first bytes common, so candidates are picked 16 at a time by their first
// and last bytes together, which rarely match by chance. Cascades find their next
// occurrence within a few bytes, so the set-up is kept small.
std::size_t find_text(std::string_view text, std::string_view search) {
    const std::size_t last = search.size() - 1;
    if (text.size() <= last) {
        return std::string_view::npos;
    }
    if (last == 0) {
        const void* at = std::memchr(text.data(), search.front(), text.size());
        return at == nullptr ? std::string_view::npos
                             : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
    }
    std::size_t from = 0;
#if defined(__SSE2__)
    if (text.size() >= last + 16) {
        const __m128i first_byte = _mm_set1_epi8(search.front());
        const __m128i last_byte = _mm_set1_epi8(search.back());
        const std::size_t final_from = text.size() - last - 16;
        for (;; from += 16) {
            // The final group is the last 16 starts; it may overlap the group before.
            from = std::min(from, final_from);
            const auto* at = reinterpret_cast<const __m128i*>(text.data() + from);
            const auto* at_last = reinterpret_cast<const __m128i*>(text.data() + from + last);
            auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(at), first_byte),
                              _mm_cmpeq_epi8(_mm_loadu_si128(at_last), last_byte))));
            while (candidates != 0) {
                const std::size_t hit = from + static_cast<std::size_t>(__builtin_ctz(candidates));
                if (same_bytes(text.data() + hit + 1, search.data() + 1, last - 1)) {
                    return hit;
                }
                candidates &= candidates - 1;
            }
            if (from == final_from) {
                return std::string_view::npos;
            }
        }
    }
#endif
    for (; from + last < text.size(); ++from) {
        if (text[from] == search.front() && text[from + last] == search.back() &&
            same_bytes(text.data() + from + 1, search.data() + 1, last - 1)) {
            return from;
        }
    }
    return std::string_view::npos;
}

// Cascades copy a byte or two at a time, where a call to memcpy costs more than the copy.
void copy_bytes(char* to, const char* from, std::size_t size) {
    if (size > 16) {
        std::memcpy(to, from, size);
        return;
    }
    for (std::size_t i = 0; i < size; ++i) {
        to[i] = from[i];
    }
}

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

    void count_replacement() {
        if (++replacements_ > budget_.max_replacements) {
            work_out();
            if (replacements_ > budget_.max_replacements) {
                throw ReplacementGuardError(ReplacementGuardError::Reason::Count, 0, 0,
                                            budget_.max_replacements);
            }
        }
    }
    inline void check_length();

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
    std::array<const Stage*, 2> stages_{};
    std::size_t watched_ = 0;
};

// The scratch strings of one stage; their capacity is kept from line to line.
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
          StageBuffers& buffers, Stage* next, std::size_t piece_size)
        : search_(search),
          replacement_(replacement),
          keep_(search.size() - 1),
          guard_(guard),
          next_(next),
          piece_size_(std::max<std::size_t>(piece_size, 1)),
          done_(done),
          front_(buffers.front),
          spare_(buffers.spare) {
        done_.clear();
        front_.clear();
        for (std::size_t d = 1; d < search.size(); ++d) {
            const std::size_t overlap = std::min(replacement.size(), search.size() - d);
            if (same_bytes(search.data() + d, replacement.data(), overlap)) {
                reach_back_ = d;
            }
        }
        if (next_ != nullptr) {
            takeable_.fill(false);
            for (std::size_t i = 0; i < reach_back_; ++i) {
                takeable_[static_cast<unsigned char>(search[i])] = true;
            }
        }
        // Whether an occurrence can start in the replacement: the search text inside it, or
        // its end the search text's start.
        cascades_ = reach_back_ > 0;
        for (std::size_t j = 0; j < replacement.size() && !cascades_; ++j) {
            const std::size_t overlap = std::min(search.size(), replacement.size() - j);
            cascades_ = same_bytes(replacement.data() + j, search.data(), overlap);
        }
    }

    // Searches `piece`, which follows what came before; `last` when no more input comes.
    // The piece is not kept beyond the call.
    void feed(std::string_view piece, bool last) {
        tail_ = piece;
        run(last);
        if (last && next_ != nullptr) {
            safe_ = done_.size();
            hand_on(true);
        }
    }

    std::size_t held() const {
        return done_.size() - handed_ + (front_.size() - front_at_) + tail_.size();
    }

private:
    void run(bool last) {
        for (;;) {
            if (front_at_ == front_.size()) {
                const std::size_t at = find_text(tail_, search_);
                if (at == std::string_view::npos) {
                    // An occurrence may still run from the last |F| - 1 bytes into the next piece.
                    const std::size_t kept = last ? 0 : std::min(keep_, tail_.size());
                    finish(tail_.substr(0, tail_.size() - kept));
                    front_.assign(tail_.substr(tail_.size() - kept));
                    front_at_ = 0;
                    tail_ = {};
                    return;
                }
                finish(tail_.substr(0, at));
                tail_.remove_prefix(at + search_.size());
                if (!cascades_) {
                    // No occurrence can start before the next byte of the tail: the
                    // replacement is done with at once, and the tail searched on.
                    guard_.count_replacement();
                    finish(replacement_);
                    if (replacement_.size() > search_.size()) {
                        guard_.check_length();
                    }
                    continue;
                }
                replace(front_.size());
                continue;
            }
            // An occurrence that starts in the front is looked for whole: the tail lends it
            // the bytes such an occurrence may reach into.
            const std::size_t lent = std::min(keep_, tail_.size());
            append_to_front(tail_.data(), lent);
            const std::string_view pending(front_.data() + front_at_, front_.size() - front_at_);
            const std::size_t at = find_text(pending, search_);
            if (at != std::string_view::npos) {
                tail_.remove_prefix(lent);
                finish(pending.substr(0, at));
                replace(front_at_ + at + search_.size());
                continue;
            }
            if (lent == keep_ || last) {
                // No occurrence starts in the front's own bytes; the lent ones are searched
                // again where they lie, at the start of the tail.
                finish(pending.substr(0, pending.size() - lent));
                front_at_ = front_.size();  // empty, the room before it kept
                continue;
            }
            // The input so far ends within reach of an occurrence: keep its last bytes.
            tail_ = {};
            const std::size_t kept = std::min(keep_, pending.size());
            finish(pending.substr(0, pending.size() - kept));
            front_at_ = front_.size() - kept;
            return;
        }
    }

    // The occurrence ended at front_[rest_from]: the bytes taken back and the replacement
    // go in front of the rest, in the room there or in room made for them.
    void replace(std::size_t rest_from) {
        for (;;) {
            guard_.count_replacement();
            const std::size_t back = std::min(reach_back_, done_.size() - safe_);
            const std::size_t needed = back + replacement_.size();
            if (needed > rest_from) {
                // As much room as there is rest, so that moving the rest is paid for by the
                // replacements that fill the room.
                const std::size_t rest = front_.size() - rest_from;
                const std::size_t room = std::max(needed * 2 + 64, rest);
                if (rest == 0) {
                    front_.resize(room);
                } else {
                    spare_.resize(room);
                    spare_.append(front_, rest_from, rest);
                    front_.swap(spare_);
                }
                rest_from = room;
            }
            front_at_ = rest_from - needed;
            char* text = front_.data() + front_at_;
            copy_bytes(text + back, replacement_.data(), replacement_.size());
            copy_bytes(text, done_.data() + done_.size() - back, back);
            done_.resize(done_.size() - back);
            if (replacement_.size() > search_.size()) {
                guard_.check_length();
            }
            if (!cascades_) {
                return;
            }
            // A cascade's next occurrence mostly starts in what was just written: it is looked
            // for there first, without the set-up of a whole search, with the bytes it may
            // reach into taken from the tail.
            const std::size_t wanted = needed + keep_;
            if (front_.size() - front_at_ < wanted && !tail_.empty()) {
                const std::size_t taken =
                    std::min(wanted - (front_.size() - front_at_), tail_.size());
                append_to_front(tail_.data(), taken);
                tail_.remove_prefix(taken);
                text = front_.data() + front_at_;
            }
            const std::size_t size = front_.size() - front_at_;
            const std::size_t starts =
                size < search_.size() ? 0 : std::min(needed, size - search_.size() + 1);
            std::size_t at = 0;
            while (at < starts && !(text[at] == search_.front() &&
                                    same_bytes(text + at + 1, search_.data() + 1, keep_))) {
                ++at;
            }
            if (at == starts) {
                return;
            }
            finish({text, at});
            rest_from = front_at_ + at + search_.size();
        }
    }

    // Bytes that follow the front go to its end. A front that keeps moving on (a cascade
    // that eats the tail) leaves room behind it that nothing uses: that is given up first.
    void append_to_front(const char* bytes, std::size_t size) {
        const std::size_t pending = front_.size() - front_at_;
        if (front_at_ > 4096 && front_at_ > 2 * pending) {
            const std::size_t room = pending + 64;
            std::memmove(front_.data() + room, front_.data() + front_at_, pending);
            front_.resize(room + pending);
            front_at_ = room;
        }
        if (size == 1) {
            front_.push_back(*bytes);
        } else if (size != 0) {
            front_.append(bytes, size);
        }
    }

    // Searched bytes with no occurrence in them go to `done`.
    void finish(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        done_.append(bytes);
        if (next_ != nullptr) {
            hand_on_what_is_safe(bytes.size());
        }
    }

    // After `added` bytes went to `done`: what no cascade can take back any more goes on to
    // the next stage, a piece at a time.
    void hand_on_what_is_safe(std::size_t added) {
        if (reach_back_ == 0) {
            safe_ = done_.size();
        } else {
            // A cascade back into `done` takes only bytes of the search text's start: a
            // byte that is none of those stops it.
            const std::size_t from = std::max(safe_, done_.size() - added);
            for (std::size_t i = done_.size(); i > from; --i) {
                if (!takeable_[static_cast<unsigned char>(done_[i - 1])]) {
                    safe_ = i;
                    break;
                }
            }
        }
        if (safe_ - handed_ >= piece_size_) {
            hand_on(false);
        }
    }

    void hand_on(bool last) {
        const std::string_view piece(done_.data() + handed_, safe_ - handed_);
        handed_ = safe_;
        next_->feed(piece, last);
        if (handed_ == done_.size()) {
            done_.clear();
            safe_ = handed_ = 0;
        } else if (handed_ >= piece_size_ && handed_ * 2 >= done_.size()) {
            done_.erase(0, handed_);
            safe_ -= handed_;
            handed_ = 0;
        }
    }

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

void Guard::check_length() {
    std::uint64_t length = 0;
    for (std::size_t i = 0; i < watched_; ++i) {
        length += stages_[i]->held();
    }
    if (length > budget_.max_length) {
        work_out();
        if (length > budget_.max_length) {
            throw ReplacementGuardError(ReplacementGuardError::Reason::Growth, 0, 0,
                                        budget_.max_length);
        }
    }
}

// Every occurrence replaced once, left to right, nothing searched again.
void replace_each_once(std::string_view source, std::string_view search,
                       std::string_view replacement, std::string& result) {
    result.clear();
    for (;;) {
        const std::size_t at = find_text(source, search);
        if (at == std::string_view::npos) {
            result.append(source);
            return;
        }
        result.append(source.substr(0, at));
        result.append(replacement);
        source.remove_prefix(at + search.size());
    }
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

bool keeps_too_much(const Buffers& buffers) {
    for (const std::string* text :
         {&buffers.result, &buffers.marked, &buffers.first.front, &buffers.first.spare,
          &buffers.second.front, &buffers.second.spare}) {
        if (text->capacity() > kKeptCapacity) {
            return true;
        }
    }
    return false;
}

// Room for the result as a pair that lengthens the line a little makes it, so that a long
// line's result is not moved when it outgrows the line; room never written costs no memory.
void reserve_result(std::string_view source, std::string_view search, std::string_view replacement,
                    std::string& result) {
    result.reserve(source.size() + (replacement.size() > search.size() ? source.size() / 4 : 0));
}

// ReplaceAll into buffers.result, within `budget` or, without one, the pair's own budget on
// the line; `source` must not lie in the buffers.
void replace_all(std::string_view source, std::string_view search, std::string_view replacement,
                 const ReplacementBudget* budget, std::size_t piece_size, Buffers& buffers) {
    if (search.empty()) {
        buffers.result.assign(source);
        return;
    }
    if (replacement.find(search) == std::string_view::npos) {
        Guard guard =
            budget != nullptr ? Guard(*budget) : Guard(source.size(), search, replacement);
        Stage stage(search, replacement, guard, buffers.result, buffers.first, nullptr, piece_size);
        guard.watch(stage);
        reserve_result(source, search, replacement, buffers.result);
        stage.feed(source, true);
    } else if (kMarkerWord.find(search) != std::string_view::npos) {
        // The replacement holds the search text: every occurrence becomes the marker word,
        // then every marker word becomes the replacement. When the search text is part of
        // the marker word that first loop would never end; replacing each occurrence once is
        // what it means.
        replace_each_once(source, search, replacement, buffers.result);
    } else {
        // The two phases run together: what the first has finished goes on to the second as
        // it comes, so the line with all its marker words is never built.
        Guard guard =
            budget != nullptr ? Guard(*budget) : Guard(source.size(), search, replacement);
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
                                             std::uint64_t limit)
    : std::runtime_error(guard_message(reason, pair, line, limit)),
      reason_(reason),
      pair_(pair),
      line_(line),
      limit_(limit) {}

std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement) {
    Buffers buffers;
    replace_all(source, search, replacement, nullptr, kMarkerPieceSize, buffers);
    return std::move(buffers.result);
}

std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement, const ReplacementBudget& budget,
                       std::size_t piece_size) {
    Buffers buffers;
    replace_all(source, search, replacement, &budget, piece_size, buffers);
    return std::move(buffers.result);
}

bool pair_applies_to(std::string_view line, std::string_view search, std::string_view replacement) {
    if (search.empty()) {
        return false;
    }
    if (find_text(line, search) != std::string_view::npos) {
        return true;
    }
    // A marker word already in the line is replaced even where the search text is absent.
    return goes_through_marker(search, replacement) &&
           find_text(line, kMarkerWord) != std::string_view::npos;
}

void replace_all_in_place(std::string& line, std::string_view search,
                          std::string_view replacement) {
    if (!pair_applies_to(line, search, replacement)) {
        return;
    }
    // Kept from line to line, so that a conversion does not allocate for each line it changes.
    thread_local Buffers buffers;
    try {
        replace_all(line, search, replacement, nullptr, kMarkerPieceSize, buffers);
    } catch (const ReplacementGuardError&) {
        buffers = Buffers{};  // a stopped pair may leave a huge line's worth of scratch
        throw;
    }
    line.swap(buffers.result);
    if (keeps_too_much(buffers)) {
        buffers = Buffers{};
    }
}

}  // namespace glossek
