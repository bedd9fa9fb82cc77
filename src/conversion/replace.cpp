#include "conversion/replace.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace glossek {

namespace {

// A cascade may make a line longer (each 'a' doubling every 'b' behind it, say) and still
// end; one that is still going past these bounds is taken to be endless.
// Fuzzing builds lower the floors, so that each endless pair is stopped in a fraction of
// the time under instrumentation; the bounds work the same.
#ifndef GLOSSEK_GUARD_FLOOR_SHIFT
#define GLOSSEK_GUARD_FLOOR_SHIFT 24
#endif
constexpr std::size_t kMinLengthLimit = std::size_t{1} << GLOSSEK_GUARD_FLOOR_SHIFT;
constexpr std::size_t kMaxLengthLimit = std::size_t{1} << 30;
constexpr std::size_t kMinReplacementLimit = std::size_t{1} << GLOSSEK_GUARD_FLOOR_SHIFT;

std::string guard_message(ReplacementGuardError::Reason reason, std::size_t pair, long long line) {
    std::string text =
        "Replacement pair " + std::to_string(pair) + " on line " + std::to_string(line) + ": ";
    text += reason == ReplacementGuardError::Reason::Grows
                ? "the line keeps growing and the replacements never end"
                : "the replacements never come to an end";
    return text;
}

// Where `search` (not empty) first occurs in `text`, or npos. Lines are short and the
// search texts' first bytes common, so candidates are picked 16 at a time by their first
// and last bytes together, which rarely match by chance.
std::size_t find_text(std::string_view text, std::string_view search) {
#if defined(__SSE2__)
    const std::size_t last = search.size() - 1;
    if (last > 0 && text.size() >= last + 16) {
        const __m128i first_byte = _mm_set1_epi8(search.front());
        const __m128i last_byte = _mm_set1_epi8(search.back());
        const std::size_t final_from = text.size() - last - 16;
        for (std::size_t from = 0;; from += 16) {
            // The final group is the last 16 starts; it may overlap the group before.
            from = std::min(from, final_from);
            const auto* at = reinterpret_cast<const __m128i*>(text.data() + from);
            const auto* at_last = reinterpret_cast<const __m128i*>(text.data() + from + last);
            auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(at), first_byte),
                              _mm_cmpeq_epi8(_mm_loadu_si128(at_last), last_byte))));
            while (candidates != 0) {
                const std::size_t hit = from + static_cast<std::size_t>(__builtin_ctz(candidates));
                if (std::memcmp(text.data() + hit + 1, search.data() + 1, last - 1) == 0) {
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
    return text.find(search);
}

// The rescanning loop: after a replacement at i no occurrence can start before
// i - |F| + 1, so instead of searching again from the start of the line, the last |F| - 1
// bytes of the finished text are put back in front of what is still to scan, behind the
// replacement. The text still to scan lives at the end of `work`, after `pos`, so putting
// bytes in front of it costs only their own length. The result goes to `done`; `work` and
// `spare` are scratch whose capacity is kept for the next line.
void rescan(std::string_view source, std::string_view search, std::string_view replacement,
            std::string& done, std::string& work, std::string& spare) {
    done.clear();
    if (search.empty()) {
        done.append(source);
        return;
    }
    const std::size_t growth = 2 + replacement.size() / search.size();
    const std::size_t length_limit =
        std::min(kMaxLengthLimit, std::max(kMinLengthLimit, source.size() * growth));
    const std::size_t replacement_limit = kMinReplacementLimit + 64 * source.size();

    done.reserve(source.size());
    std::size_t pos = 0;
    std::size_t replacements = 0;
    const char* text = source.data();
    std::size_t text_size = source.size();
    bool in_work = false;  // the source is scanned in place until the first replacement

    for (;;) {
        const std::size_t before = find_text({text, text_size}, search);
        if (before == std::string_view::npos) {
            done.append(text, text_size);
            return;
        }
        done.append(text, before);
        const std::size_t consumed = before + search.size();
        const std::size_t back = std::min(search.size() - 1, done.size());
        const std::size_t needed = replacement.size() + back;

        if (!in_work || pos + consumed < needed) {
            // Move what is left to scan to the end of a fresh buffer with room in front.
            std::string_view rest(text + consumed, text_size - consumed);
            std::size_t room = std::max<std::size_t>(needed * 2 + 64, rest.size());
            spare.assign(room, '\0');
            spare.append(rest);
            work.swap(spare);
            pos = room;
            in_work = true;
        } else {
            pos += consumed;
        }
        pos -= replacement.size();
        std::memcpy(work.data() + pos, replacement.data(), replacement.size());
        pos -= back;
        std::memcpy(work.data() + pos, done.data() + done.size() - back, back);
        done.resize(done.size() - back);

        text = work.data() + pos;
        text_size = work.size() - pos;
        if (done.size() + text_size > length_limit) {
            throw ReplacementGuardError(ReplacementGuardError::Reason::Grows);
        }
        if (++replacements > replacement_limit) {
            throw ReplacementGuardError(ReplacementGuardError::Reason::Endless);
        }
    }
}

// Every occurrence replaced once, left to right, nothing searched again.
std::string replace_each_once(std::string_view source, std::string_view search,
                              std::string_view replacement) {
    std::string result;
    for (;;) {
        const std::size_t at = find_text(source, search);
        if (at == std::string_view::npos) {
            result.append(source);
            return result;
        }
        result.append(source.substr(0, at));
        result.append(replacement);
        source.remove_prefix(at + search.size());
    }
}

// The strings one replacement needs besides its source.
struct Buffers {
    std::string result;
    std::string marked;
    std::string work;
    std::string spare;
};

// Scratch kept between lines up to this size; a huge line's is given back.
constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;

bool goes_through_marker(std::string_view search, std::string_view replacement) {
    return replacement.find(search) != std::string_view::npos &&
           kMarkerWord.find(search) == std::string_view::npos;
}

// ReplaceAll into buffers.result; `source` must not lie in the buffers.
void replace_all(std::string_view source, std::string_view search, std::string_view replacement,
                 Buffers& buffers) {
    if (search.empty()) {
        buffers.result.assign(source);
    } else if (replacement.find(search) == std::string_view::npos) {
        rescan(source, search, replacement, buffers.result, buffers.work, buffers.spare);
    } else if (kMarkerWord.find(search) != std::string_view::npos) {
        // The replacement holds the search text: every occurrence becomes the marker word,
        // then every marker word becomes the replacement. When the search text is part of
        // the marker word that first loop would never end; replacing each occurrence once is
        // what it means.
        buffers.result = replace_each_once(source, search, replacement);
    } else {
        rescan(source, search, kMarkerWord, buffers.marked, buffers.work, buffers.spare);
        rescan(buffers.marked, kMarkerWord, replacement, buffers.result, buffers.work,
               buffers.spare);
    }
}

}  // namespace

ReplacementGuardError::ReplacementGuardError(Reason reason, std::size_t pair, long long line)
    : std::runtime_error(guard_message(reason, pair, line)),
      reason_(reason),
      pair_(pair),
      line_(line) {}

std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement) {
    Buffers buffers;
    replace_all(source, search, replacement, buffers);
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
    replace_all(line, search, replacement, buffers);
    line.swap(buffers.result);
    if (buffers.result.capacity() > kKeptCapacity || buffers.work.capacity() > kKeptCapacity ||
        buffers.spare.capacity() > kKeptCapacity || buffers.marked.capacity() > kKeptCapacity) {
        buffers = Buffers{};
    }
}

}  // namespace glossek
