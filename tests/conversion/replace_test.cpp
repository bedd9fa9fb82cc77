// SPDX-License-Identifier: MIT
#include "conversion/replace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <tuple>

#include "lang/messages.h"
#include "lang/texts.h"
#include "support/replace_model.h"

namespace glossek {
namespace {

const std::string kMarker(kMarkerWord);

// replace_all, in place too, and with the first phase handing its text on a few bytes at a
// time, all give `expected`.
void expect_everywhere(const std::string& source, const std::string& search,
                       const std::string& replacement, const std::string& expected) {
    SCOPED_TRACE("source '" + source + "' search '" + search + "' replacement '" + replacement +
                 "'");
    ASSERT_EQ(replace_all(source, search, replacement), expected);
    std::string in_place = source;
    replace_all_in_place(in_place, search, replacement);
    ASSERT_EQ(in_place, expected) << "in place";
    const ReplacementBudget budget = replacement_budget(source.size(), search, replacement);
    for (std::size_t piece : {1, 2, 3, 7}) {
        ASSERT_EQ(replace_all(source, search, replacement, budget, piece), expected)
            << "in pieces of " << piece;
    }
}

TEST(ReplaceAll, KnownResults) {
    EXPECT_EQ(replace_all("aaaa", "aa", "a"), "a");
    EXPECT_EQ(replace_all("abc", "", "x"), "abc");
    EXPECT_EQ(replace_all("aabb", "ab", ""), "");
    EXPECT_EQ(replace_all("aab", "ab", "b"), "b");
    EXPECT_EQ(replace_all("eel", "e", "ee"), "eeeel");
    EXPECT_EQ(replace_all("x" + kMarker + "x", "e", "ee"), "xeex");
    EXPECT_EQ(replace_all(replace_all("ab", "a", "b"), "b", "c"), "cc");
    EXPECT_EQ(replace_all(std::string("a\0b\0", 4), std::string("\0", 1), "-"), "a-b-");
    EXPECT_EQ(replace_all("", "a", "b"), "");
    EXPECT_EQ(replace_all("abc", "abcd", "x"), "abc");
    // Text produced by a replacement is searched again together with its neighbours.
    EXPECT_EQ(replace_all("abab", "ba", "ab"), "aabb");
}

TEST(ReplaceAll, SearchTextInsideTheMarkerWordIsReplacedOnceEach) {
    EXPECT_EQ(replace_all("foo", "o", "oo"), "foooo");
    EXPECT_EQ(replace_all("top stop", "top", "[top]"), "[top] s[top]");
    EXPECT_EQ(replace_all("ttt", "t", "tt"), "tttttt");
}

// Cascades through the marker word: a search text that starts before the word or runs past
// its end takes the line's bytes around it with it (phase 1), and a replacement that ends
// with the word's start or begins with its end makes new marker words with them (phase 2).
TEST(ReplaceAll, CascadesInEitherPhaseOfTheMarkerWord) {
    const std::string rest_of_marker = kMarker.substr(1);
    const std::string start_of_marker = kMarker.substr(0, kMarker.size() - 1);
    // Leftwards: each 'x' before the 'A' is taken in turn; in phase 2 every "xA" joins the
    // rest of a marker word behind it again, and the line comes back as it was.
    expect_everywhere("xxxA", "xA", "xA", "xxxA");
    // Rightwards: the marker word's last letter and the next 'x'.
    expect_everywhere("uxxx", "ux", "[ux]", start_of_marker + start_of_marker + "[ux]");
    // A replacement that ends with the marker word's first letter, before the rest of it.
    expect_everywhere("ee" + rest_of_marker, "e", "eA", "eAeeA");
    // One that begins with the word's last letter, after its start.
    expect_everywhere(start_of_marker + "e", "e", "ue", "uee");
}

// Random cases against the rescanning procedure; lines of `max_length` bytes or more reach the
// search that looks at 16 places at once. With the marker word's own letters in the alphabet,
// and the word itself now and then in the line, the pairs that go through it are covered too.
void agree_with_rescanning(int rounds, int max_length, int max_search, int min_compared,
                           const char* alphabet) {
    std::mt19937 random(20261208 + max_length);  // fixed so that a failure can be replayed
    const int letters = static_cast<int>(std::strlen(alphabet));
    auto text_of = [&](int max) {
        std::string text(random() % (max + 1), ' ');
        for (char& c : text) {
            c = alphabet[random() % letters];
        }
        return text;
    };
    int compared = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string source = text_of(max_length);
        if (random() % 8 == 0) {
            source.insert(random() % (source.size() + 1), kMarker);
        }
        std::string search = text_of(max_search);
        std::string replacement = text_of(4);
        std::string expected;
        if (search.empty() ||
            !test::model_replace_all(source, search, replacement, 200, expected)) {
            continue;
        }
        ++compared;
        ASSERT_EQ(replace_all(source, search, replacement), expected)
            << "source '" << source << "' search '" << search << "' replacement '" << replacement
            << "'";
        std::string in_place = source;
        replace_all_in_place(in_place, search, replacement);
        ASSERT_EQ(in_place, expected) << "in place, source '" << source << "'";
    }
    EXPECT_GT(compared, min_compared);
}

TEST(ReplaceAll, AgreesWithTheRescanningProcedureOnShortCases) {
    agree_with_rescanning(20000, 12, 3, 5000, "abA");
    agree_with_rescanning(20000, 10, 2, 5000, "ab");
    agree_with_rescanning(10000, 12, 4, 2000, "abcd");
}

TEST(ReplaceAll, AgreesWithTheRescanningProcedureOnLongerLines) {
    agree_with_rescanning(5000, 90, 5, 1000, "abA");
}

TEST(ReplaceAll, AgreesWithTheRescanningProcedureThroughTheMarkerWord) {
    // Letters of the marker word, so searches fall inside it, straddle it or miss it.
    agree_with_rescanning(20000, 12, 3, 5000, "Auhot");
    agree_with_rescanning(3000, 60, 4, 1000, "Awayuhtopmi");
}

// Pairs built to go through the marker word with cascades in both phases: search texts that
// straddle the word's start or end, replacements around them that hold pieces of the word,
// and lines made of those pieces; the first phase hands its text on in small pieces too.
TEST(ReplaceAll, AgreesWithTheRescanningProcedureOnPairsBuiltAroundTheMarkerWord) {
    std::mt19937 random(20261209);
    const std::string alphabet = "Auowx";
    auto letters = [&](int max) {
        std::string text(random() % (max + 1), ' ');
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        return text;
    };
    auto head = [&] { return kMarker.substr(0, 1 + random() % 4); };
    auto end = [&] { return kMarker.substr(kMarker.size() - 1 - random() % 4); };
    auto around = [&] {
        switch (random() % 4) {
            case 0:
                return head();
            case 1:
                return end();
            default:
                return letters(2);
        }
    };
    int compared = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string search;
        switch (random() % 3) {
            case 0:
                search = end() + letters(2);
                break;
            case 1:
                search = letters(2) + head();
                break;
            default:
                search = letters(3);
                break;
        }
        if (search.empty() || kMarker.find(search) != std::string::npos) {
            continue;
        }
        const std::string replacement = around() + search + around();
        std::string source;
        for (int pieces = random() % 9; pieces > 0; --pieces) {
            const unsigned kind = random() % 5;
            source += kind == 0 ? search : kind == 1 ? kMarker : kind == 2 ? around() : letters(3);
        }
        std::string expected;
        if (!test::model_replace_all(source, search, replacement, 200, expected)) {
            continue;
        }
        ++compared;
        expect_everywhere(source, search, replacement, expected);
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
    EXPECT_GT(compared, 2000);
}

// The old guard stopped these, although each comes to an end.
TEST(ReplaceAll, PairsThatEndOnLongLinesGiveTheirResults) {
    // A Unix file is one line here; LF -> CR LF goes through the marker word.
    std::string unix_text;
    for (int i = 0; unix_text.size() < 24'000'000; ++i) {
        unix_text += "line " + std::to_string(i) + (i % 7 == 0 ? "\n\n" : " of text\n");
    }
    std::string dos_text;
    dos_text.reserve(unix_text.size() * 2);
    for (char c : unix_text) {
        if (c == '\n') {
            dos_text += '\r';
        }
        dos_text += c;
    }
    std::string line = unix_text;
    replace_all_in_place(line, "\n", "\r\n");
    EXPECT_TRUE(line == dos_text);

    // 25 million replacements, each 'a' passing every 'b'.
    const std::string swapped = std::string(5000, 'a') + std::string(5000, 'b');
    EXPECT_TRUE(replace_all(std::string(5000, 'b') + std::string(5000, 'a'), "ba", "ab") ==
                swapped);

    // Cascades that run along the whole line.
    EXPECT_EQ(replace_all(std::string(2'000'000, 'a'), "aa", "a"), "a");
    std::string spaced;
    for (int i = 0; i < 200'000; ++i) {
        spaced += "word, ";
    }
    EXPECT_EQ(replace_all(spaced, ", ", ";").size(), 200'000u * 5);
}

// The search text "xA" ends with the marker word's first letter: in phase 1 each 'x' before
// it is taken in turn and leaves 26 letters of a marker word behind, so while the pair works
// the line grows 26-fold, although the replacement is no longer than the search text (phase
// 2 then shrinks it back). The budget lets it.
TEST(ReplaceAll, MarkerWordsMadeWhileThePairWorksAreWithinTheBudget) {
    const std::string line = std::string(3'000'000, 'x') + "A";
    EXPECT_TRUE(replace_all(line, "xA", "xA") == line);
}

TEST(ReplacementBudget, GrowsWithTheLineAndItsPair) {
    // A short line gets the floors.
    const ReplacementBudget short_line = replacement_budget(10, "ab", "bbaa");
    EXPECT_EQ(short_line.max_length, 2 * 10 + 20 + (std::uint64_t{1} << 26));
    EXPECT_EQ(short_line.max_replacements, std::uint64_t{1} << 28);
    // Quadratic cascades on lines of tens of thousands of bytes: b^25000 a^25000 swapped
    // takes 625 million replacements.
    EXPECT_GE(replacement_budget(50'000, "ba", "ab").max_replacements, 625'000'000u);
    // Up to a ceiling, so that such a cascade on a long line stops in seconds.
    EXPECT_EQ(replacement_budget(1'000'000, "ba", "ab").max_replacements, 1u << 30);
    // A pair through the marker word counts the word as its replacement's length at least.
    EXPECT_EQ(replacement_budget(1000, "\n", "\r\n").max_length,
              (2 + 27) * 1000 + (std::uint64_t{1} << 26));
    // No cap below the line: lines of several GiB, and sizes that would overflow.
    const std::uint64_t huge = std::uint64_t{5} << 30;
    const ReplacementBudget big = replacement_budget(huge, "aa", "a");
    EXPECT_GE(big.max_length, huge);
    EXPECT_EQ(big.max_replacements, 4 * huge);
    EXPECT_EQ(replacement_budget(SIZE_MAX, "a", std::string(100, 'b')).max_length, UINT64_MAX);
}

TEST(ReplaceAll, GrowingCascadesAreStoppedForGrowth) {
    for (const auto& [source, search, replacement] :
         {std::tuple<std::string, std::string, std::string>{"aab", "ab", "bbaa"},
          // The replacement holds the marker word: the second phase would never end.
          {"ab", "b", "bb" + kMarker}}) {
        try {
            replace_all(source, search, replacement);
            ADD_FAILURE() << search << " -> " << replacement << " must be stopped";
        } catch (const ReplacementGuardError& error) {
            EXPECT_EQ(error.reason(), ReplacementGuardError::Reason::Growth);
            EXPECT_EQ(error.limit(),
                      replacement_budget(source.size(), search, replacement).max_length);
        }
    }
}

std::uint64_t stopped_after(const std::string& source, const std::string& search,
                            const std::string& replacement, std::uint64_t max_replacements) {
    try {
        replace_all(source, search, replacement, {UINT64_MAX, max_replacements});
    } catch (const ReplacementGuardError& error) {
        EXPECT_EQ(error.reason(), ReplacementGuardError::Reason::Count);
        return error.limit();
    }
    return 0;
}

TEST(ReplaceAll, TheCountBudgetStopsExactlyPastIt) {
    // b^100 a^100 swaps in exactly 100 x 100 replacements.
    const std::string swap = std::string(100, 'b') + std::string(100, 'a');
    EXPECT_EQ(stopped_after(swap, "ba", "ab", 10'000), 0u);
    EXPECT_EQ(stopped_after(swap, "ba", "ab", 9'999), 9'999u);
    // Through the marker word both phases count: three to the word and three back.
    EXPECT_EQ(stopped_after("eee", "e", "ee", 6), 0u);
    EXPECT_EQ(stopped_after("eee", "e", "ee", 5), 5u);
}

TEST(ReplaceAll, PairsThatDoNotLengthenTheLineAreNeverStoppedForGrowth) {
    const ReplacementBudget no_room{0, UINT64_MAX};
    EXPECT_EQ(replace_all("bbaa", "ba", "ab", no_room), "aabb");
    EXPECT_EQ(replace_all("aaaa", "aa", "a", no_room), "a");
    EXPECT_EQ(replace_all("aabb", "ab", "", no_room), "");
}

TEST(ReplacementGuardMessage, NamesTheBudgetThePairAndTheLineInBothLanguages) {
    const ReplacementGuardError growth(ReplacementGuardError::Reason::Growth, 2, 41, 67108880);
    const ReplacementGuardError count(ReplacementGuardError::Reason::Count, 3, 7, 1073741824);
    const LanguageTexts english = language_texts("US");
    EXPECT_EQ(error_text(growth, english),
              "Replacement pair 2 was stopped on line 41: the line grew past 67108880 bytes, the "
              "most allowed for this line and pair. The conversion was stopped.");
    EXPECT_EQ(error_text(count, english),
              "Replacement pair 3 was stopped on line 7 after 1073741824 replacements, the most "
              "allowed on a line of this length. The conversion was stopped.");
    const LanguageTexts french = language_texts("FR");
    EXPECT_EQ(error_text(growth, french),
              "Le couple de remplacement 2 a \xE9t\xE9 arr\xEAt\xE9 \xE0 la ligne 41 : la ligne a "
              "d\xE9pass\xE9 67108880 octets, le maximum permis pour cette ligne et ce couple. "
              "La conversion a \xE9t\xE9 arr\xEAt\xE9"
              "e.");
    EXPECT_EQ(error_text(count, french),
              "Le couple de remplacement 3 a \xE9t\xE9 arr\xEAt\xE9 \xE0 la ligne 7 apr\xE8s "
              "1073741824 remplacements, le maximum permis sur une ligne de cette longueur. La "
              "conversion a \xE9t\xE9 arr\xEAt\xE9"
              "e.");
}

TEST(ReplaceAllInPlace, EachLineStandsAloneWhateverCameBefore) {
    // A huge line first, then short ones: nothing of one may show in the next.
    std::string huge(3 << 20, 'x');
    huge += "ab";
    replace_all_in_place(huge, "ab", "c");
    EXPECT_EQ(huge.size(), (3u << 20) + 1);
    EXPECT_EQ(huge.back(), 'c');
    std::string line = "ab";
    replace_all_in_place(line, "ab", "c");
    EXPECT_EQ(line, "c");
    line = "zab zab zab zab zab zab zab zab";
    replace_all_in_place(line, "ab", "");
    EXPECT_EQ(line, "z z z z z z z z");
    line = "e";
    replace_all_in_place(line, "e", "ee");
    EXPECT_EQ(line, "ee");
    // A stopped pair leaves its line as it was, and the next line is not touched by it.
    line = "aab";
    EXPECT_THROW(replace_all_in_place(line, "ab", "bbaa"), ReplacementGuardError);
    EXPECT_EQ(line, "aab");
    line = "xaby";
    replace_all_in_place(line, "ab", "bbaa");
    EXPECT_EQ(line, "xbbaay");
}

TEST(PairAppliesTo, SearchTextOrMarkerWordForThePairsThatUseIt) {
    EXPECT_TRUE(pair_applies_to("a long line where the word comes late: cf.", "cf.", "voir"));
    EXPECT_FALSE(pair_applies_to("a long line where the word never comes: cf", "cf.", "voir"));
    EXPECT_FALSE(pair_applies_to("anything", "", "x"));
    EXPECT_TRUE(pair_applies_to("x" + kMarker, "e", "ee"));  // goes through the marker
    EXPECT_FALSE(pair_applies_to("x" + kMarker, "z", "y"));  // does not
    EXPECT_FALSE(pair_applies_to("plain", "e", "ee"));
}

TEST(ReplaceAllInPlace, SameResultsAndMarkerWordStillReplaced) {
    std::string line = "x" + kMarker + "x";
    replace_all_in_place(line, "e", "ee");
    EXPECT_EQ(line, "xeex");
    line = "nothing here";
    replace_all_in_place(line, "zz", "z");
    EXPECT_EQ(line, "nothing here");
    line = "aaaa";
    replace_all_in_place(line, "aa", "a");
    EXPECT_EQ(line, "a");
}

}  // namespace
}  // namespace glossek
