#include "conversion/replace.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace glossek {

namespace {

// A cascade may make a line longer (each 'a' doubling every 'b' behind it, say) and still
// end; one that is still going past these bounds is taken to be endless.
constexpr std::size_t kMinLengthLimit = std::size_t{16} << 20;
constexpr std::size_t kMaxLengthLimit = std::size_t{1} << 30;
constexpr std::size_t kMinReplacementLimit = std::size_t{1} << 24;

std::string guard_message(ReplacementGuardError::Reason reason, std::size_t pair,
                          long long line) {
    std::string text = "Replacement pair " + std::to_string(pair) + " on line " +
                       std::to_string(line) + ": ";
    text += reason == ReplacementGuardError::Reason::Grows
                ? "the line keeps growing and the replacements never end"
                : "the replacements never come to an end";
    return text;
}

// The rescanning loop: after a replacement at i no occurrence can start before
// i - |F| + 1, so instead of searching again from the start of the line, the last |F| - 1
// bytes of the finished text are put back in front of what is still to scan, behind the
// replacement. The text still to scan lives at the end of `work`, after `pos`, so putting
// bytes in front of it costs only their own length.
std::string rescan(std::string_view source, std::string_view search, std::string_view replacement) {
    if (search.empty()) {
        return std::string(source);
    }
    const std::size_t growth = 2 + replacement.size() / search.size();
    const std::size_t length_limit =
        std::min(kMaxLengthLimit, std::max(kMinLengthLimit, source.size() * growth));
    const std::size_t replacement_limit = kMinReplacementLimit + 64 * source.size();

    std::string done;
    done.reserve(source.size());
    std::string work;
    std::size_t pos = 0;
    std::size_t replacements = 0;
    const char* text = source.data();
    std::size_t text_size = source.size();
    bool in_work = false;  // the source is scanned in place until the first replacement

    for (;;) {
        const void* hit = text_size >= search.size()
                              ? ::memmem(text, text_size, search.data(), search.size())
                              : nullptr;
        if (hit == nullptr) {
            done.append(text, text_size);
            return done;
        }
        const auto before = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
        done.append(text, before);
        const std::size_t consumed = before + search.size();
        const std::size_t back = std::min(search.size() - 1, done.size());
        const std::size_t needed = replacement.size() + back;

        if (!in_work || pos + consumed < needed) {
            // Move what is left to scan to the end of a fresh buffer with room in front.
            std::string_view rest(text + consumed, text_size - consumed);
            std::size_t room = std::max<std::size_t>(needed * 2 + 64, rest.size());
            std::string fresh(room, '\0');
            fresh.append(rest);
            work.swap(fresh);
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
    std::size_t from = 0;
    for (;;) {
        std::size_t at = source.find(search, from);
        if (at == std::string_view::npos) {
            result.append(source.substr(from));
            return result;
        }
        result.append(source.substr(from, at - from));
        result.append(replacement);
        from = at + search.size();
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
    if (search.empty()) {
        return std::string(source);
    }
    if (replacement.find(search) == std::string_view::npos) {
        return rescan(source, search, replacement);
    }
    // The replacement holds the search text: every occurrence becomes the marker word, then
    // every marker word becomes the replacement. When the search text is part of the marker
    // word that first loop would never end; replacing each occurrence once is what it means.
    if (kMarkerWord.find(search) != std::string_view::npos) {
        return replace_each_once(source, search, replacement);
    }
    std::string marked = rescan(source, search, kMarkerWord);
    return rescan(marked, kMarkerWord, replacement);
}

void replace_all_in_place(std::string& line, std::string_view search,
                          std::string_view replacement) {
    if (search.empty()) {
        return;
    }
    std::string_view text(line);
    const bool marked = replacement.find(search) != std::string_view::npos &&
                        kMarkerWord.find(search) == std::string_view::npos;
    // A marker word already in the line is replaced even where the search text is absent.
    if (text.find(search) == std::string_view::npos &&
        !(marked && text.find(kMarkerWord) != std::string_view::npos)) {
        return;
    }
    line = ReplaceAll(line, search, replacement);
}

}  // namespace glossek
