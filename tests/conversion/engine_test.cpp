// SPDX-License-Identifier: MIT
#include "conversion/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "conversion/replace.h"
#include "files/file_names.h"
#include "pages/page_converter.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

struct Recorder : GenerateObserver {
    std::vector<std::string> lines;
    std::vector<int> positions;
    void result_line(std::string_view line) override { lines.emplace_back(line); }
    void progress(int position) override { positions.push_back(position); }
};

struct EngineCase : ::testing::Test {
    TempDir dir;
    ConversionJob job;
    ConversionTable table;
    CodePagePair pages = code_page_pair(850, 1252);

    LossyCount lossy;

    std::string run(const std::string& input, ConversionWay way,
                    GenerateObserver* observer = nullptr, const Kernels& kernels = {}) {
        job.input_name = dir.write("in.txt", input);
        job.output_name = dir.file("out.txt");
        EXPECT_EQ(generate(job, way, table, pages, observer, &lossy, kernels),
                  GenerateOutcome::Done);
        return dir.read("out.txt");
    }
    void add_pair(const std::string& from, const std::string& to) {
        ReplacementPair& pair = table.record(table.pairs.size() + 1);
        pair.char_from = from;
        pair.char_to = to;
        table.pair_count = table.pairs.size();
    }
};

TEST_F(EngineCase, CodePageWaysConvertUpToTheFirstNul) {
    // "Été" in CP850 is 90 82 74 82; in CP1252 C9 E9 74 E9.
    EXPECT_EQ(run("\x90\x82t\x82\r\n\r\nplain", ConversionWay::DosToWindows),
              "\xC9\xE9t\xE9\r\n\r\nplain\r\n");
    EXPECT_EQ(run("\xC9\xE9t\xE9\n", ConversionWay::WindowsToDos), "\x90\x82t\x82\n\r\n");
    EXPECT_EQ(run(std::string("ab\0cd\r\nx", 8), ConversionWay::DosToWindows), "ab\r\nx\r\n");
    EXPECT_EQ(run("", ConversionWay::DosToWindows), "");
}

TEST_F(EngineCase, TableThatMovesLineEndsStillConvertsLineByLine) {
    // A table of no supported pair: 'a' and CR change places.
    unsigned char swapped[256];
    for (int c = 0; c < 256; ++c) {
        swapped[c] = static_cast<unsigned char>(c == 'a' ? '\r' : c == '\r' ? 'a' : c);
    }
    pages.oem_to_ansi = swapped;
    EXPECT_EQ(run("a\r\nbab\r", ConversionWay::DosToWindows), "\r\r\nb\rb\r\n");
}

TEST_F(EngineCase, ViewerShowsTheConvertedLines) {
    Recorder recorder;
    EXPECT_EQ(run(std::string("\x90t\x82\r\nx\0y\r\n", 10), ConversionWay::DosToWindows, &recorder),
              "\xC9t\xE9\r\nx\r\n");
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"\xC9t\xE9", "x"}));
}

TEST_F(EngineCase, AuxiliaryWayAppliesPairsInOrderAndKeepsNul) {
    EXPECT_EQ(run("same\r\n", ConversionWay::AuxiliaryTable), "same\r\n");
    add_pair("a", "b");
    add_pair("b", "c");
    add_pair("", "never");
    EXPECT_EQ(run(std::string("ab\0\r\n", 5), ConversionWay::AuxiliaryTable),
              std::string("cc\0\r\n", 5));
    table.pair_count = 1;  // only the pairs counted take part
    EXPECT_EQ(run("ab", ConversionWay::AuxiliaryTable), "bb\r\n");
    table.pair_count = 0;
    EXPECT_EQ(run("ab", ConversionWay::AuxiliaryTable), "ab\r\n");
}

TEST_F(EngineCase, LaterPairsSeeWhatEarlierOnesMade) {
    add_pair("x", "y");
    add_pair("b", "a");
    add_pair("a", "c");
    // Lines the first pair leaves alone still go through the others, in order.
    EXPECT_EQ(run("b\r\nxb\r\nzz\r\n", ConversionWay::AuxiliaryTable), "c\r\nyc\r\nzz\r\n");
}

TEST_F(EngineCase, ViewerGetsTheFirstThousandLinesAndProgressMovesOnce) {
    std::string input;
    for (int i = 0; i < 2500; ++i) {
        input += "line " + std::to_string(i) + "\r\n";
    }
    Recorder recorder;
    std::string output = run(input, ConversionWay::AuxiliaryTable, &recorder);
    EXPECT_EQ(output, input);
    ASSERT_EQ(recorder.lines.size(), 1000u);
    EXPECT_EQ(recorder.lines.back(), "line 999");
    EXPECT_EQ(recorder.positions.front(), 0);
    EXPECT_EQ(recorder.positions.back(), 100);
    EXPECT_EQ(recorder.positions.size(), 101u);
}

// The bar follows the bytes read, however long the lines, in each way and whether the
// window takes lines one by one or in runs; the end of the data fills it, Ctrl-Z too.
TEST_F(EngineCase, ProgressFollowsTheBytesRead) {
    const std::string input = std::string(80, 'x') + "\r\n" + std::string(20 * 1000, 'y') + "\r\n" +
                              std::string(5 * 1000, 'z') + "\r\n\x1A" + std::string(10000, 'w');
    for (const ConversionWay way : {ConversionWay::DosToWindows, ConversionWay::AuxiliaryTable}) {
        Recorder recorder;
        run(input, way, &recorder);
        EXPECT_EQ(recorder.positions,
                  (std::vector<int>{0, static_cast<int>(20084 * 100 / input.size()),
                                    static_cast<int>(25086 * 100 / input.size()), 100}));
    }
    std::string many;
    for (int i = 0; i < 5000; ++i) {
        many += std::string(i < 2500 ? 1 : 99, 'a') + "\r\n";
    }
    Recorder recorder;
    run(many, ConversionWay::DosToWindows, &recorder);
    // Half the lines are a thirty-fourth of the bytes.
    EXPECT_EQ(recorder.positions.front(), 0);
    EXPECT_LE(std::count_if(recorder.positions.begin(), recorder.positions.end(),
                            [](int p) { return p < 3; }),
              3);
    EXPECT_EQ(recorder.positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(recorder.positions.begin(), recorder.positions.end()));
}

TEST(Progress, TruncatedAndCapped) {
    EXPECT_EQ(progress_position(1, 3), 33);
    EXPECT_EQ(progress_position(3, 3), 100);
    EXPECT_EQ(progress_position(4, 3), 100);
    EXPECT_EQ(progress_position(9999, 10000), 99);
    EXPECT_EQ(progress_position(270'000'000'000ULL, 300'000'000'000ULL), 90);
    EXPECT_EQ(progress_position(5, 0), 0);  // a pipe: no size to go by
}

TEST_F(EngineCase, MissingInputTouchesNoFile) {
    job.input_name = dir.file("none.txt");
    job.output_name = dir.file("out.txt");
    EXPECT_EQ(generate(job, ConversionWay::DosToWindows, table, pages, nullptr),
              GenerateOutcome::InputMissing);
    job.input_name = "";
    EXPECT_EQ(generate(job, ConversionWay::DosToWindows, table, pages, nullptr),
              GenerateOutcome::InputMissing);
    EXPECT_FALSE(file_exists(dir.file("out.txt")));
}

TEST_F(EngineCase, OutputThatIsTheInputIsRefusedAndTheInputKept) {
    job.input_name = dir.write("in.txt", "precious\r\n");
    ASSERT_EQ(::symlink(job.input_name.c_str(), dir.file("alias.txt").c_str()), 0);
    job.output_name = dir.file("alias.txt");
    try {
        generate(job, ConversionWay::DosToWindows, table, pages, nullptr);
        FAIL();
    } catch (const TextIoError& error) {
        EXPECT_EQ(error.code(), 32);
    }
    EXPECT_EQ(dir.read("in.txt"), "precious\r\n");
    EXPECT_FALSE(job.input_file.is_open());
}

// The code page ways, as plainly as they are described: the data up to the first Ctrl-Z
// (and past a UTF-8 byte order mark at its start), each line up to its first NUL through a
// converter that takes it whole, ended by CR LF; and the characters lost, with the line of
// the first.
struct Model {
    std::string out;
    LossyCount lossy;
};

Model model_conversion(const std::string& input, PageConverter converter) {
    std::string data = input.substr(0, input.find('\x1A'));
    if (converter.reads_utf8() && data.rfind(kUtf8ByteOrderMark, 0) == 0) {
        data.erase(0, kUtf8ByteOrderMark.size());
    }
    Model model;
    std::size_t at = 0;
    long long line_number = 0;
    while (at < data.size()) {
        ++line_number;
        std::size_t cr = std::min(data.find('\r', at), data.size());
        std::string line = data.substr(at, cr - at);
        line.resize(std::min(line.size(), line.find('\0')));
        const std::uint64_t before = converter.lossy();
        std::string out(converter.max_output(line.size()) + 1, '\0');
        std::size_t size = converter.convert(line.data(), line.size(), out.data());
        size += converter.end_line(out.data() + size);
        model.out += out.substr(0, size) + "\r\n";
        if (model.lossy.first_line == 0 && converter.lossy() != before) {
            model.lossy.first_line = line_number;
        }
        at = cr + 1 + (cr + 1 < data.size() && data[cr + 1] == '\n' ? 1 : 0);
    }
    model.lossy.characters = converter.lossy();
    return model;
}

std::string model_conversion(const std::string& input, const unsigned char* map) {
    return model_conversion(input, PageConverter(map)).out;
}

TEST_F(EngineCase, LinesOfAnyLengthGoThroughTheCodePageInPartsWhereverTheBlocksEnd) {
    const std::size_t block = TextLineFile::kBlockSize;
    std::vector<std::string> inputs = {
        std::string(3 * block + 7, '\x82'),         // no line end at all
        std::string(2 * block - 1, 'a') + "\r\nb",  // CR last in a block
        std::string(block + 9, 'x') + std::string(1, '\0') + std::string(2 * block, 'y') +
            "\r\nafter\r\n",  // NUL in a long line
        std::string(2 * block, 'q') + "\r" + std::string(block, '\0') + "\rz",
    };
    std::mt19937 random(437);  // fixed so that a failure can be replayed
    for (int round = 0; round < 6; ++round) {
        std::string bytes(4 * block + random() % block, ' ');
        for (char& c : bytes) {
            const unsigned pick = random() % (round % 2 == 0 ? 100000 : 300);
            c = pick == 0   ? '\r'
                : pick == 1 ? '\n'
                : pick == 2 ? '\0'
                            : static_cast<char>(random());
            c = c == '\x1A' ? 'z' : c;
        }
        inputs.push_back(bytes);
    }
    // A table that keeps the line ends (the output applies it to whole blocks) and one that
    // does not (each part goes through it on its own).
    unsigned char swapped[256];
    for (int c = 0; c < 256; ++c) {
        swapped[c] = static_cast<unsigned char>(c == 'a' ? '\n' : c == '\n' ? 'a' : 255 - c);
    }
    swapped['\r'] = '\r';
    const CodePagePair real = pages;
    for (const std::string& input : inputs) {
        EXPECT_EQ(run(input, ConversionWay::DosToWindows),
                  model_conversion(input, PageConverter(real, true)).out);
        EXPECT_EQ(run(input, ConversionWay::WindowsToDos),
                  model_conversion(input, PageConverter(real, false)).out);
        pages.oem_to_ansi = swapped;
        EXPECT_EQ(run(input, ConversionWay::DosToWindows), model_conversion(input, swapped));
        pages = real;
    }
}

// Random text made of pieces that matter to each way (DOS letters and box-drawing lines,
// UTF-8 sequences whole and cut, line ends, NUL, Ctrl-Z-free), with lines of every length
// across the blocks: batch mode (whole lines at once), the window (line by line) and the
// plain table way all give the model's output and count.
TEST_F(EngineCase, EveryWayAndModeAgreesWithTheModelOnOutputAndLostCharacters) {
    const std::size_t block = TextLineFile::kBlockSize;
    const std::vector<std::string> pieces = {"plain text ",
                                             "\x82",
                                             "\xC4\xB3",
                                             "\xC3\xA9",
                                             "\xE2\x94\x80",
                                             "\xF0\x9F\x98\x80",
                                             "\xC3",
                                             "\xBF",
                                             "\xED\xA0\x80",
                                             "\r\n",
                                             "\r",
                                             "\n",
                                             std::string(1, '\0'),
                                             "\xEF\xBB\xBF",
                                             "%"};
    std::mt19937 random(858);  // fixed so that a failure can be replayed
    std::vector<std::string> inputs = {
        "\xEF\xBB\xBF"
        "caf\xC3\xA9\r\n",
        std::string(block - 1, 'x') + "\xC3\xA9\r\n\xC4",  // a sequence across the blocks
        std::string(3 * block, 'y') + "\xE2\x94\x81" + std::string(block, 'z'),
    };
    for (int round = 0; round < 8; ++round) {
        std::string text;
        while (text.size() < 3 * block + random() % block) {
            const std::string& piece = pieces[random() % pieces.size()];
            // Long runs of text now and then, so that some lines outgrow a block.
            text += random() % 200 == 0 ? std::string(random() % (2 * block), 'q') : piece;
        }
        inputs.push_back(text);
    }
    struct Way {
        int oem;
        int ansi;
        ConversionWay way;
    };
    const std::vector<Way> ways = {{850, 1252, ConversionWay::DosToWindows},
                                   {850, 1252, ConversionWay::WindowsToDos},
                                   {850, kUtf8Page, ConversionWay::DosToWindows},
                                   {850, kUtf8Page, ConversionWay::WindowsToDos},
                                   {864, kUtf8Page, ConversionWay::WindowsToDos},
                                   {857, kUtf8Page, ConversionWay::DosToWindows}};
    for (const Way& w : ways) {
        pages = code_page_pair(w.oem, w.ansi);
        for (const std::string& input : inputs) {
            SCOPED_TRACE(std::to_string(w.oem) + " " + std::to_string(w.ansi) +
                         (w.way == ConversionWay::DosToWindows ? " W" : " D"));
            const Model model =
                model_conversion(input, PageConverter(pages, w.way == ConversionWay::DosToWindows));
            ASSERT_EQ(run(input, w.way), model.out);
            EXPECT_EQ(lossy.characters, model.lossy.characters);
            EXPECT_EQ(lossy.first_line, model.lossy.first_line);
            Recorder recorder;
            ASSERT_EQ(run(input, w.way, &recorder), model.out);
            EXPECT_EQ(lossy.characters, model.lossy.characters);
            EXPECT_EQ(lossy.first_line, model.lossy.first_line);
            // As a processor without AVX2 converts.
            const std::string plain =
                run(input, w.way, nullptr, Kernels{Kernel::Plain, LineScan::Basic});
            ASSERT_EQ(plain, model.out);
            EXPECT_EQ(lossy.characters, model.lossy.characters);
            EXPECT_EQ(lossy.first_line, model.lossy.first_line);
        }
    }
}

TEST_F(EngineCase, Utf8LinesByteOrderMarkAndSequencesCutByALineEnd) {
    pages = code_page_pair(850, kUtf8Page);
    // The mark is dropped at the start of the file only; elsewhere it is a character the
    // DOS page lacks.
    EXPECT_EQ(run("\xEF\xBB\xBF"
                  "caf\xC3\xA9\r\n\xEF\xBB\xBF"
                  "b\r\n",
                  ConversionWay::WindowsToDos),
              "caf\x82\r\n?b\r\n");
    EXPECT_EQ(lossy.characters, 1u);
    EXPECT_EQ(lossy.first_line, 2);
    EXPECT_EQ(run("\xEF\xBB\xBF", ConversionWay::WindowsToDos), "");
    EXPECT_EQ(run("\xEF\xBB"
                  "a",
                  ConversionWay::WindowsToDos),
              "?a\r\n");  // half a mark
    // A line end cuts a sequence in two: each half is a '?'.
    EXPECT_EQ(run("a\xC3\r\xA9"
                  "b\r\n",
                  ConversionWay::WindowsToDos),
              "a?\r\n?b\r\n");
    EXPECT_EQ(lossy.characters, 2u);
    EXPECT_EQ(lossy.first_line, 1);
    // DOS to UTF-8 writes no mark, and a line's result still ends at its first NUL.
    EXPECT_EQ(run(std::string("\x82t\x82\0\x82\r\n", 7), ConversionWay::DosToWindows),
              "\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(lossy.characters, 0u);
    EXPECT_EQ(lossy.first_line, 0);
}

TEST_F(EngineCase, FirstLostCharacterIsFoundFarIntoTheFileAndInLongLines) {
    std::string input;
    for (int i = 1; i <= 20000; ++i) {
        input += i == 12345 ? "box \xC4\xC4\r\n" : "caf\x82 " + std::to_string(i) + "\r\n";
    }
    input += std::string(3 * TextLineFile::kBlockSize, 'x') + "\xB3\r\nlast\r\n";
    Recorder recorder;
    for (GenerateObserver* observer :
         {static_cast<GenerateObserver*>(nullptr), static_cast<GenerateObserver*>(&recorder)}) {
        run(input, ConversionWay::DosToWindows, observer);
        EXPECT_EQ(lossy.characters, 3u);
        EXPECT_EQ(lossy.first_line, 12345);
        run(input.substr(input.find("box") + 12), ConversionWay::DosToWindows, observer);
        EXPECT_EQ(lossy.characters, 1u);
        EXPECT_EQ(lossy.first_line, 20000 - 12345 + 1);  // the long line
    }
    run("\x82\r\n", ConversionWay::AuxiliaryTable);
    EXPECT_EQ(lossy.characters, 0u);  // the table way loses nothing it is not told to
}

TEST_F(EngineCase, ViewerLinesAreCutAndConvertedHoweverLongTheLine) {
    Recorder recorder;
    const std::string long_line(3 * TextLineFile::kBlockSize, '\x82');
    run("short\r\n" + long_line + "\r\n\x82", ConversionWay::DosToWindows, &recorder);
    ASSERT_EQ(recorder.lines.size(), 3u);
    EXPECT_EQ(recorder.lines[1], std::string(kViewerLineBytes, '\xE9'));
    EXPECT_EQ(recorder.lines[2], "\xE9");
    EXPECT_EQ(dir.read("out.txt").size(), 7 + long_line.size() + 2 + 3);

    Recorder table_way;
    run(long_line, ConversionWay::AuxiliaryTable, &table_way);
    EXPECT_EQ(table_way.lines, std::vector<std::string>{std::string(kViewerLineBytes, '\x82')});
}

TEST_F(EngineCase, StoppedConversionLeavesTheOldOutputAndNothingElse) {
    add_pair("ab", "bbaa");
    dir.write("out.txt", "precious");
    job.input_name = dir.write("in.txt", std::string(200000, 'x') + "\r\naab\r\n");
    job.output_name = dir.file("out.txt");
    EXPECT_THROW(generate(job, ConversionWay::AuxiliaryTable, table, pages, nullptr),
                 ReplacementGuardError);
    EXPECT_EQ(dir.read("out.txt"), "precious");
    EXPECT_FALSE(job.output_file.is_open());
    EXPECT_FALSE(job.input_file.is_open());
    job.output_name = dir.file("new.txt");
    EXPECT_THROW(generate(job, ConversionWay::AuxiliaryTable, table, pages, nullptr),
                 ReplacementGuardError);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"in.txt", "out.txt"}));
}

TEST_F(EngineCase, DevicesAreNeverTheSameFile) {
    job.input_name = "/dev/null";
    job.output_name = "/dev/null";
    EXPECT_EQ(generate(job, ConversionWay::DosToWindows, table, pages, nullptr),
              GenerateOutcome::Done);
}

TEST_F(EngineCase, EndlessPairNamesThePairAndTheLine) {
    add_pair("x", "y");
    add_pair("ab", "bbaa");
    job.input_name = dir.write("in.txt", "fine\r\nstill fine\r\naab\r\n");
    job.output_name = dir.file("out.txt");
    try {
        generate(job, ConversionWay::AuxiliaryTable, table, pages, nullptr);
        FAIL();
    } catch (const ReplacementGuardError& error) {
        EXPECT_EQ(error.pair(), 2u);
        EXPECT_EQ(error.line(), 3);
        EXPECT_NE(std::string(error.what()).find("pair 2 on line 3"), std::string::npos);
    }
}

// A line that would grow past the whole table's budget, or past the memory the system can
// give, stops the conversion with the old output kept; under them the same table converts.
TEST_F(EngineCase, LinesStopAtTheWholeTablesBudgetAndAtTheMemoryThereIs) {
    for (int k = 0; k < 12; ++k) {
        add_pair("a", "aa");  // each pair doubles the line; each within its own budget
    }
    job.table_name = "doubling.glk";
    dir.write("out.txt", "precious");
    job.input_name = dir.write("in.txt", "ok\r\naaaa\r\n");
    job.output_name = dir.file("out.txt");
    auto stopped = [&](const LineLimits& limits) -> std::exception_ptr {
        try {
            generate(job, ConversionWay::AuxiliaryTable, table, pages, nullptr, nullptr, {},
                     limits);
        } catch (...) {
            return std::current_exception();
        }
        return nullptr;
    };
    // The error of a run that must stop (a run that does not fails the test).
    auto error_of_run = [&](const LineLimits& limits) {
        std::exception_ptr error = stopped(limits);
        return error ? error : std::make_exception_ptr(std::logic_error("not stopped"));
    };
    // 4 bytes doubled 12 times: 16 KiB, past a floor of 4 KiB and 64 x 4 bytes.
    try {
        std::rethrow_exception(error_of_run({4096, 64, 0}));
    } catch (const ReplacementGuardError& error) {
        EXPECT_EQ(error.reason(), ReplacementGuardError::Reason::TableGrowth);
        EXPECT_EQ(error.limit(), 4096u);
        EXPECT_EQ(error.pair(), 11u);
        EXPECT_EQ(error.line(), 2);
        EXPECT_EQ(error.input(), job.input_name);
        EXPECT_EQ(error.table(), "doubling.glk");
    }
    // The memory there is, less the room for the line's copies.
    try {
        std::rethrow_exception(error_of_run({std::uint64_t{1} << 20, 64, 5 * 2000}));
    } catch (const OutOfMemoryError& error) {
        EXPECT_EQ(error.file(), job.input_name);
        EXPECT_EQ(error.line(), 2);
        EXPECT_EQ(error.line_bytes(), 2000u);
    }
    // A line read past it fails the same way, before any pair.
    job.input_name = dir.write("in.txt", "ok\r\n" + std::string(300000, 'b') + "\r\n");
    try {
        std::rethrow_exception(error_of_run({std::uint64_t{1} << 20, 64, 5 * 100000}));
    } catch (const OutOfMemoryError& error) {
        EXPECT_EQ(error.line(), 2);
        EXPECT_GE(error.line_bytes(), 100000u);
    }
    EXPECT_EQ(dir.read("out.txt"), "precious");
    EXPECT_EQ(stopped({std::uint64_t{1} << 20, 64, 5 * 400000}), nullptr);
    job.input_name = dir.write("in.txt", "aaaa\r\n");
    EXPECT_EQ(stopped({16384, 64, 5 * 16384}), nullptr);
    EXPECT_EQ(dir.read("out.txt"), std::string(16384, 'a') + "\r\n");
}

}  // namespace
}  // namespace glossek
