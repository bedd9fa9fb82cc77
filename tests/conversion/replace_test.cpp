#include "conversion/replace.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(ReplaceAll, AgreesWithTheRescanningProcedureOnShortCases) {
    std::mt19937 random(20261208);  // fixed so that a failure can be replayed
    auto text_of = [&](int max_length, const char* alphabet, int letters) {
        std::string text(random() % (max_length + 1), ' ');
        for (char& c : text) {
            c = alphabet[random() % letters];
        }
        return text;
    };
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string source = text_of(12, "abA", 3);
        std::string search = text_of(3, "abA", 3);
        std::string replacement = text_of(4, "abA", 3);
        if (search.empty() || std::string(kMarkerWord).find(search) != std::string::npos) {
            continue;
        }
        std::string expected;
        if (!naive_replace_all(source, search, replacement, expected)) {
            continue;
        }
        ++compared;
        ASSERT_EQ(ReplaceAll(source, search, replacement), expected)
            << "source '" << source << "' search '" << search << "' replacement '"
            << replacement << "'";
    }
    EXPECT_GT(compared, 5000);
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
