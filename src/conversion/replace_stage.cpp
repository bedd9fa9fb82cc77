// SPDX-License-Identifier: MIT
#include "conversion/replace_stage.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossek::rescan {

namespace {

// Byte for byte; the texts compared here are a few bytes long, where a call costs more.
bool same_bytes(const char* a, const char* b, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
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

}  // namespace

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

Stage::Stage(std::string_view search, std::string_view replacement, Guard& guard, std::string& done,
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

void Stage::feed(std::string_view piece, bool last) {
    tail_ = piece;
    run(last);
    if (last && next_ != nullptr) {
        safe_ = done_.size();
        hand_on(true);
    }
}

std::size_t Stage::held() const {
    return done_.size() - handed_ + (front_.size() - front_at_) + tail_.size();
}

void Stage::run(bool last) {
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

void Stage::replace(std::size_t rest_from) {
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
            const std::size_t taken = std::min(wanted - (front_.size() - front_at_), tail_.size());
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

void Stage::append_to_front(const char* bytes, std::size_t size) {
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

void Stage::finish(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    done_.append(bytes);
    if (next_ != nullptr) {
        hand_on_what_is_safe(bytes.size());
    }
}

void Stage::hand_on_what_is_safe(std::size_t added) {
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

void Stage::hand_on(bool last) {
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

void Guard::check_length() {
    std::uint64_t length = 0;
    for (std::size_t i = 0; i < watched_; ++i) {
        length += stages_[i]->held();
    }
    if (length <= budget_.max_length && length <= cap_) {
        return;
    }
    work_out();
    if (length > budget_.max_length && budget_.max_length <= cap_) {
        throw ReplacementGuardError(ReplacementGuardError::Reason::Growth, 0, 0,
                                    budget_.max_length);
    }
    if (length > cap_) {
        throw ReplacementGuardError(ReplacementGuardError::Reason::TableGrowth, 0, 0, cap_);
    }
}

}  // namespace glossek::rescan
