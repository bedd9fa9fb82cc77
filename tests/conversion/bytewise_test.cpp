// SPDX-License-Identifier: MIT
#include "conversion/bytewise.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "conversion/replace.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

// Gives rooms of a few bytes past the minimum, so that every way of cutting the output
// is taken.
struct StringSink : ByteSink {
    std::string text;
    std::size_t used = 0;
    std::mt19937* random = nullptr;
    Room room(std::size_t minimum) override {
        const std::size_t size = minimum + (*random)() % 24;
        text.resize(used + size);
        return {text.data() + used, size};
    }
    void wrote(std::size_t size) override {
        used += size;
        text.resize(used);
    }
};

ConversionTable table_of(const std::vector<std::pair<std::string, std::string>>& pairs) {
    ConversionTable table;
    for (const auto& [from, to] : pairs) {
        ReplacementPair& pair = table.record(table.pairs.size() + 1);
        pair.char_from = from;
        pair.char_to = to;
    }
    table.pair_count = table.pairs.size();
    return table;
}

// The whole-line way: each pair over the whole line, in table order.
std::string whole_line(std::string line, const ConversionTable& table) {
    for (const ReplacementPair& pair : table.pairs) {
        line = replace_all(line, pair.char_from, pair.char_to);
    }
    return line;
}

// Bytes that pairs search and make: line ends, Ctrl-Z, NUL, letters of the marker word.
const std::string kBytes = std::string("\n\r\x1A\0AawuxyZ\xE9", 13);

std::string random_text(std::mt19937& random, std::size_t most, bool in_line) {
    std::string text;
    for (std::size_t n = random() % (most + 1); text.size() < n;) {
        const char byte = kBytes[random() % kBytes.size()];
        if (in_line && random() % 16 == 0) {
            // A marker word, whole or cut, to be found or not.
            text.append(kMarkerWord.substr(0, kMarkerWord.size() - random() % 3));
        } else if (!in_line || (byte != '\r' && byte != '\x1A')) {
            text.push_back(byte);
        }
    }
    return text;
}

TEST(Bytewise, PartsOfAnySizeGiveWhatTheWholeLineGives) {
    std::mt19937 random(20240611);
    int composed = 0;
    int through_marker = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::pair<std::string, std::string>> pairs(1 + random() % 5);
        bool marker = false;
        for (auto& [from, to] : pairs) {
            from = random_text(random, random() % 8 == 0 ? 2 : 1, false);
            to = random() % 3 == 0 ? from + random_text(random, 2, false)
                                   : random_text(random, 3, false);
            marker = marker || goes_through_marker(from, to);
        }
        const ConversionTable table = table_of(pairs);
        std::optional<BytewiseTable> bytewise = BytewiseTable::compose(table, pairs.size(), {});
        if (!bytewise) {
            continue;
        }
        ++composed;
        through_marker += marker ? 1 : 0;
        for (int line_round = 0; line_round < 8; ++line_round) {
            const std::string line = random_text(random, 200, true);
            StringSink sink;
            sink.random = &random;
            std::string_view rest = line;
            while (!rest.empty()) {
                const std::size_t size = std::min<std::size_t>(rest.size(), random() % 40);
                bytewise->feed(rest.substr(0, size), false, sink);
                rest.remove_prefix(size);
            }
            bytewise->feed({}, true, sink);
            ASSERT_EQ(sink.text, whole_line(line, table)) << "round " << round;
        }
    }
    EXPECT_GT(composed, 800);
    EXPECT_GT(through_marker, 200);
}

// Only tables whose result cannot depend on the cut, and that no budget could stop.
TEST(Bytewise, TablesOutsideTheRulesAreNotComposed) {
    const auto composes = [](const std::vector<std::pair<std::string, std::string>>& pairs,
                             const LineLimits& limits = {}) {
        return BytewiseTable::compose(table_of(pairs), pairs.size(), limits).has_value();
    };
    EXPECT_TRUE(composes({{"\r", ""}, {"\r\n", "\n"}, {"\n", "\r\n"}, {"\r", "\r\r"}}));
    EXPECT_TRUE(composes({{"x", std::string(64, 'y')}}));
    EXPECT_FALSE(composes({{"ab", "b"}}));
    EXPECT_FALSE(composes({{"\n", "\r\n"}, {"\n\r", "x"}}));  // the pair before made the CR
    EXPECT_FALSE(composes({{"x", ""}, {"\n", "\r\n"}}));      // a marker word may close up
    EXPECT_FALSE(composes({{"A", "B"}, {"\n", "\r\n"}}));
    EXPECT_FALSE(composes({{"\n", "\nA"}}));
    EXPECT_FALSE(composes({{"x", std::string(65, 'y')}}));
    EXPECT_FALSE(composes({{"x", "xx"}, {"x", "xx"}, {"x", "xx"}}, {1 << 30, 4, 0}));
    EXPECT_FALSE(composes({{"\n", std::string(63, '\r') + "\n"}}));  // no margin left
    EXPECT_FALSE(composes({{"\n", "\r\n"}}, {4096, 64, 0}));
}

// In the engine: a line of many blocks in flat memory, where a table outside the rules
// needs the whole line.
TEST(Bytewise, LongLineGoesThroughInFlatMemory) {
    test::TempDir dir;
    std::string line;
    while (line.size() < 5 * TextLineFile::kBlockSize) {
        line += "une ligne\n";
        if (line.size() % 7 == 0) {
            line += kMarkerWord;
        }
    }
    line.insert(TextLineFile::kBlockSize - 5, kMarkerWord);  // across the first block's end
    struct Viewer : GenerateObserver {
        std::vector<std::string> lines;
        void result_line(std::string_view shown) override { lines.emplace_back(shown); }
        void progress(int) override {}
    } viewer;
    ConversionJob job;
    job.input_name = dir.write("in.txt", line + "\r\nx\n");
    job.output_name = dir.file("out.txt");
    const LineLimits little{std::uint64_t{256} << 20, 64, 5 * 1000};
    ConversionTable table = table_of({{"\n", "\r\n"}});
    generate(job, ConversionWay::AuxiliaryTable, table, code_page_pair(850, 1252), &viewer, nullptr,
             {}, little);
    const std::string expected = whole_line(line, table);
    EXPECT_EQ(dir.read("out.txt"), expected + "\r\nx\r\n\r\n");
    EXPECT_EQ(viewer.lines,
              (std::vector<std::string>{expected.substr(0, kViewerLineBytes), "x\r\n"}));
    table = table_of({{"\n\n", "\n"}});
    EXPECT_THROW(generate(job, ConversionWay::AuxiliaryTable, table, code_page_pair(850, 1252),
                          nullptr, nullptr, {}, little),
                 OutOfMemoryError);
}

}  // namespace
}  // namespace glossek
