#include "conversion/replace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>

namespace glossek {
namespace {

// The rescanning procedure as users know it, searched from the start of the line after
// every replacement; `limit` stops it on pairs that would never end.
bool naive_rescan(std::string& text, const std::string& search, const std::string& replacement,
                  int limit) {
    if (search.empty()) {
        return true;
    }
    for (int steps = 0;; ++steps) {
        auto at = text.find(search);
        if (at == std::string::npos) {
            return true;
        }
        if (steps == limit) {
            return false;
        }
        text.replace(at, search.size(), replacement);
    }
}

bool naive_replace_all(const std::string& source, const std::string& search,
                       const std::string& replacement, std::string& result) {
    result = source;
    const std::string marker(kMarkerWord);
    if (replacement.find(search) == std::string::npos) {
        return naive_rescan(result, search, replacement, 200);
    }
    return naive_rescan(result, search, marker, 200) &&
           naive_rescan(result, marker, replacement, 200);
}

TEST(ReplaceAll, KnownResults) {
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a"), "a");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("aabb", "ab", ""), "");
    EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b");
    EXPECT_EQ(ReplaceAll("eel", "e", "ee"), "eeeel");
    EXPECT_EQ(ReplaceAll("x" + std::string(kMarkerWord) + "x", "e", "ee"), "xeex");
    EXPECT_EQ(ReplaceAll(ReplaceAll("ab", "a", "b"), "b", "c"), "cc");
    EXPECT_EQ(ReplaceAll(std::string("a\0b\0", 4), std::string("\0", 1), "-"), "a-b-");
    EXPECT_EQ(ReplaceAll("", "a", "b"), "");
    EXPECT_EQ(ReplaceAll("abc", "abcd", "x"), "abc");
    // Text produced by a replacement is searched again together with its neighbours.
    EXPECT_EQ(ReplaceAll("abab", "ba", "ab"), "aabb");
}

TEST(ReplaceAll, SearchTextInsideTheMarkerWordIsReplacedOnceEach) {
    EXPECT_EQ(ReplaceAll("foo", "o", "oo"), "foooo");
    EXPECT_EQ(ReplaceAll("top stop", "top", "[top]"), "[top] s[top]");
    EXPECT_EQ(ReplaceAll("ttt", "t", "tt"), "tttttt");
}

std::string each_once(const std::string& source, const std::string& search,
                      const std::string& replacement) {
    std::string result;
    std::size_t from = 0;
    for (auto at = source.find(search); at != std::string::npos; at = source.find(search, from)) {
        result.append(source, from, at - from).append(replacement);
        from = at + search.size();
    }
    return result.append(source, from);
}

// Random cases against the rescanning procedure; lines of `max_length` bytes or more reach the
// search that looks at 16 places at once. With the marker word's own letters in the alphabet,
// and the word itself now and then in the line, the pairs that go through it are covered too.
void agree_with_rescanning(int rounds, int max_length, int max_search, int min_compared,
                           const char* alphabet) {
    std::mt19937 random(20261208 + max_length);  // fixed so that a failure can be replayed
    const int letters = static_cast<int>(std::strlen(alphabet));
    const std::string marker(kMarkerWord);
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
            source.insert(random() % (source.size() + 1), marker);
        }
        std::string search = text_of(max_search);
        std::string replacement = text_of(4);
        if (search.empty()) {
            continue;
        }
        std::string expected;
        if (marker.find(search) != std::string::npos &&
            replacement.find(search) != std::string::npos) {
            expected = each_once(source, search, replacement);
        } else if (!naive_replace_all(source, search, replacement, expected)) {
            continue;
        }
        ++compared;
        ASSERT_EQ(ReplaceAll(source, search, replacement), expected)
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

TEST(ReplaceAll, LongLinesStayFast) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReplaceAll(std::string(2'000'000, 'a'), "aa", "a"), "a");
    std::string spaced;
    for (int i = 0; i < 200'000; ++i) {
        spaced += "word, ";
    }
    EXPECT_EQ(ReplaceAll(spaced, ", ", ";").size(), 200'000u * 5);
    // Generous: catches a return to quadratic work, not a slow machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ReplaceAll, EndlessPairsAreStoppedWithAnError) {
    try {
        ReplaceAll("aab", "ab", "bbaa");
        FAIL() << "a growing cascade must be stopped";
    } catch (const ReplacementGuardError& error) {
        EXPECT_EQ(error.reason(), ReplacementGuardError::Reason::Grows);
    }
    // The replacement holds the marker word: the second phase would never end.
    EXPECT_THROW(ReplaceAll("ab", "b", "bb" + std::string(kMarkerWord)), ReplacementGuardError);
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
}

TEST(PairAppliesTo, SearchTextOrMarkerWordForThePairsThatUseIt) {
    const std::string marker(kMarkerWord);
    EXPECT_TRUE(pair_applies_to("a long line where the word comes late: cf.", "cf.", "voir"));
    EXPECT_FALSE(pair_applies_to("a long line where the word never comes: cf", "cf.", "voir"));
    EXPECT_FALSE(pair_applies_to("anything", "", "x"));
    EXPECT_TRUE(pair_applies_to("x" + marker, "e", "ee"));  // goes through the marker
    EXPECT_FALSE(pair_applies_to("x" + marker, "z", "y"));  // does not
    EXPECT_FALSE(pair_applies_to("plain", "e", "ee"));
}

TEST(ReplaceAllInPlace, SameResultsAndMarkerWordStillReplaced) {
    std::string line = "x" + std::string(kMarkerWord) + "x";
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
