#include "conversion/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

std::vector<std::string> read_lines(const std::string& path) {
    TextLineFile file;
    file.open_read(path);
    std::vector<std::string> lines;
    while (!file.at_end()) {
        lines.push_back(file.read_line());
    }
    file.close();
    return lines;
}

std::vector<std::string> lines_of(const std::string& bytes) {
    TempDir dir;
    return read_lines(dir.write("in.txt", bytes));
}

int error_code_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const TextIoError& error) {
        return error.code();
    }
    return 0;
}

using Lines = std::vector<std::string>;

TEST(TextFileReading, LineEndsAndEndOfData) {
    EXPECT_EQ(lines_of(""), Lines{});
    EXPECT_EQ(lines_of("abc"), Lines{"abc"});
    EXPECT_EQ(lines_of("abc\r\n"), Lines{"abc"});
    EXPECT_EQ(lines_of("abc\r\n\r\n"), (Lines{"abc", ""}));
    EXPECT_EQ(lines_of("a\rb"), (Lines{"a", "b"}));
    EXPECT_EQ(lines_of("a\r\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines_of("a\n\rb"), (Lines{"a\n", "b"}));
    EXPECT_EQ(lines_of("a\nb\n"), Lines{"a\nb\n"});
    EXPECT_EQ(lines_of("abc\x1A"
                       "def\r\n"),
              Lines{"abc"});
    EXPECT_EQ(lines_of("\x1A"
                       "abc\r\n"),
              Lines{});
    EXPECT_EQ(lines_of(std::string("a\0b\r\n", 5)), Lines{std::string("a\0b", 3)});
    EXPECT_EQ(lines_of("\r\r\r"), (Lines{"", "", ""}));
}

TEST(TextFileReading, LinesLongerThanABlockAndEndsAcrossBlocks) {
    const std::size_t block = TextLineFile::kBlockSize;
    std::string first(block - 1, 'x');  // its CR is the block's last byte, the LF the next's
    std::string second(3 * block + 17, 'y');
    std::string bytes = first + "\r\n" + second + "\r\n" + "z";
    EXPECT_EQ(lines_of(bytes), (Lines{first, second, "z"}));

    std::string before_ctrl_z(block + 5, 'q');
    EXPECT_EQ(lines_of(before_ctrl_z + "\x1A\r\nmore"), Lines{before_ctrl_z});
}

// The line up to its first NUL, as next_line gives it when asked to stop there.
std::string up_to_nul(const std::string& line) {
    return line.substr(0, line.find('\0'));
}

TEST(TextFileReading, NextLineSplitsAsReadLineWhereverTheBlocksEnd) {
    const std::size_t block = TextLineFile::kBlockSize;
    std::vector<std::string> inputs;
    for (std::size_t edge : {block - 2, block - 1, block, block + 1}) {
        const std::string head(edge, 'x');
        inputs.push_back(head + "\r\ntail");
        inputs.push_back(head + "\r\r\nz\r");
        inputs.push_back(head + std::string("\0b\r\n\0", 6));
        inputs.push_back(head.substr(0, 9) + std::string("\0", 1) + head +
                         "\r\n\x1A"
                         "gone");
    }
    std::mt19937 random(64);  // fixed so that a failure can be replayed
    for (int round = 0; round < 8; ++round) {
        std::string bytes(2 * block + random() % block, 'a');
        for (char& c : bytes) {
            const unsigned pick = random() % 64;
            c = pick == 0 ? '\r' : pick == 1 ? '\n' : pick == 2 ? '\0' : c;
        }
        inputs.push_back(bytes);
    }
    TempDir dir;
    for (const std::string& bytes : inputs) {
        const std::string name = dir.write("in.txt", bytes);
        const Lines expected = read_lines(name);
        for (int mode = 0; mode < 3; ++mode) {
            // Mode 2 takes every other line by read_line, which moves on in the same block.
            TextLineFile file;
            file.open_read(name);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                ASSERT_FALSE(file.at_end());
                if (mode == 0) {
                    ASSERT_EQ(file.next_line(), expected[i]) << "line " << i;
                } else if (mode == 2 && i % 2 == 1) {
                    ASSERT_EQ(file.read_line(), expected[i]) << "line " << i;
                } else {
                    ASSERT_EQ(file.next_line(true), up_to_nul(expected[i])) << "line " << i;
                }
            }
            EXPECT_TRUE(file.at_end());
            file.close();
        }
    }
}

TEST(TextFileReading, FieldsStayInTheLine) {
    TempDir dir;
    TextLineFile file;
    file.open_read(dir.write("f", "USA\r\nAB\r\n"));
    EXPECT_EQ(file.read_field(2), "US");
    file.skip_line();
    EXPECT_EQ(file.read_field(4), "AB");
    EXPECT_EQ(file.read_field(80), "");
    file.skip_line();
    EXPECT_TRUE(file.at_end());
    EXPECT_EQ(file.read_line(), "");
    EXPECT_EQ(file.read_field(3), "");
    EXPECT_TRUE(file.at_end());
    file.close();
}

TEST(TextFileWriting, EveryLineEndsWithCrLfAndNothingIsAdded) {
    TempDir dir;
    TextLineFile file;
    file.open_write(dir.file("out"));
    file.write_text("abc");
    file.end_line();
    file.write_text(std::string("a\nb\n\0", 5));
    file.end_line();
    file.close();
    EXPECT_EQ(dir.read("out"), std::string("abc\r\na\nb\n\0\r\n", 12));

    std::string big(TextLineFile::kBlockSize * 2 + 3, 'b');
    file.open_write(dir.file("big"));
    file.write_text(big);
    file.close();
    EXPECT_EQ(dir.read("big"), big);
}

TEST(TextFileWriting, WriteLineAndTheMapReachEveryByteAcrossBlocks) {
    std::vector<std::string> lines;
    for (std::size_t size = 0; size < 600; size += 7) {
        std::string line(size, ' ');
        for (std::size_t i = 0; i < size; ++i) {
            line[i] = static_cast<char>((size * 31 + i) % 256);
        }
        lines.push_back(line);
    }
    lines.push_back(std::string(TextLineFile::kBlockSize + 33, '\xE9'));
    std::string plain;
    for (const std::string& line : lines) {
        plain += line + "\r\n";
    }
    // One table changes every byte; the other keeps ASCII, as code page tables do.
    unsigned char reversed[256];
    unsigned char upper_half[256];
    for (int c = 0; c < 256; ++c) {
        reversed[c] = static_cast<unsigned char>(255 - c);
        upper_half[c] = static_cast<unsigned char>(c < 0x80 ? c : (c * 7) % 256);
    }
    TempDir dir;
    for (const unsigned char* map :
         {static_cast<const unsigned char*>(nullptr), static_cast<const unsigned char*>(reversed),
          static_cast<const unsigned char*>(upper_half)}) {
        TextLineFile file;
        file.open_write(dir.file("out"), map);
        for (int copy = 0; copy < 3; ++copy) {  // the blocks end at other places each time
            for (const std::string& line : lines) {
                file.write_line(line);
            }
        }
        file.close();
        std::string expected = plain + plain + plain;
        for (char& c : expected) {
            c = map == nullptr ? c : static_cast<char>(map[static_cast<unsigned char>(c)]);
        }
        ASSERT_EQ(dir.read("out"), expected);
    }
}

TEST(TextFileWriting, OpenWriteEmptiesAtOnce) {
    TempDir dir;
    dir.write("old", "precious");
    TextLineFile file;
    file.open_write(dir.file("old"));
    EXPECT_EQ(dir.read("old"), "");
    file.close();
    EXPECT_EQ(dir.read("old"), "");
}

TEST(TextFileErrors, CodesAndMessages) {
    TempDir dir;
    TextLineFile file;
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file("missing")); }), 2);
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file("nofolder/x")); }), 3);
    EXPECT_EQ(error_code_of([&] { file.open_write(dir.file("nofolder/x")); }), 3);
    dir.write("plain", "x");
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file("plain/x")); }), 3);
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.path()); }), 5);
    EXPECT_EQ(error_code_of([&] { file.open_write(dir.path()); }), 5);
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file(std::string(5000, 'n'))); }), 3);

    EXPECT_EQ(error_code_of([&] { file.read_line(); }), 104);
    EXPECT_EQ(error_code_of([&] { file.next_line(); }), 104);
    EXPECT_EQ(error_code_of([&] { file.at_end(); }), 104);
    EXPECT_EQ(error_code_of([&] { file.write_text("x"); }), 105);
    EXPECT_EQ(error_code_of([&] { file.write_line("x"); }), 105);
    EXPECT_EQ(error_code_of([&] { file.close(); }), 103);
    file.open_read(dir.file("plain"));
    EXPECT_EQ(error_code_of([&] { file.end_line(); }), 105);
    file.close();

    EXPECT_EQ(error_box_text(TextIoError(2).what()), "File not found.");
    EXPECT_EQ(error_box_text(TextIoError(3).what()), "Invalid filename.");
    EXPECT_EQ(error_box_text(TextIoError(4).what()), "Too many open files.");
    EXPECT_EQ(error_box_text(TextIoError(5).what()), "File access denied.");
    EXPECT_EQ(error_box_text(TextIoError(32).what()), "I/O error 32.");
    EXPECT_EQ(error_box_text("Done."), "Done.");
    EXPECT_EQ(error_box_text("Really!"), "Really!");
    EXPECT_EQ(error_box_text("continue..."), "continue...");
}

TEST(TextFileErrors, UnwritableFileIsAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write anything";
    }
    TempDir dir;
    std::string name = dir.write("ro", "x");
    ::chmod(name.c_str(), 0444);
    TextLineFile file;
    EXPECT_EQ(error_code_of([&] { file.open_write(name); }), 5);
    EXPECT_EQ(dir.read("ro"), "x");
}

TEST(TextFileErrors, WriteThatFindsNoRoomIsADiskWriteError) {
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    TextLineFile file;
    file.open_write("/dev/full");
    // More than a block, so the failure comes part-way as well as at the close.
    const std::string more_than_a_block(TextLineFile::kBlockSize + 1, 'x');
    EXPECT_EQ(error_code_of([&] { file.write_text(more_than_a_block); }), ENOSPC);
    EXPECT_EQ(error_box_text(TextIoError(ENOSPC).what()), "I/O error 28.");
    CloseOnExit guard(file);
}

TEST(TextFileErrors, FileBeingReadIsNeverEmptied) {
    TempDir dir;
    std::string input = dir.write("in.txt", "keep me\r\n");
    ASSERT_EQ(::symlink(input.c_str(), dir.file("link.txt").c_str()), 0);
    ASSERT_EQ(::link(input.c_str(), dir.file("hard.txt").c_str()), 0);

    TextLineFile reader;
    reader.open_read(input);
    TextLineFile writer;
    for (const std::string& other :
         {input, dir.file("link.txt"), dir.file("hard.txt"), dir.path() + "/./in.txt"}) {
        EXPECT_EQ(error_code_of([&] { writer.open_write(other); }), 32) << other;
    }
    EXPECT_EQ(error_box_text(TextIoError(32).what()), "I/O error 32.");
    EXPECT_EQ(reader.read_line(), "keep me");
    reader.close();
    EXPECT_EQ(dir.read("in.txt"), "keep me\r\n");

    writer.open_write(input);  // no longer being read
    writer.close();
    EXPECT_EQ(dir.read("in.txt"), "");
}

TEST(TextFileErrors, FailedWriteKeepsWholeBlocksAndReportsTheError) {
    TempDir dir;
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = TextLineFile::kBlockSize + 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    TextLineFile file;
    file.open_write(dir.file("out"));
    int code = error_code_of([&] {
        for (int i = 0; i < 4; ++i) {
            file.write_text(std::string(TextLineFile::kBlockSize, 'w'));
        }
        file.close();
    });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(code, EFBIG);
    if (file.is_open()) {
        EXPECT_NO_THROW(file.close());
    }
    EXPECT_GE(dir.read("out").size(), TextLineFile::kBlockSize);
}

TEST(TextFileErrors, FailedBlockIsNotWrittenAgainAtClose) {
    TempDir dir;
    const std::string name = dir.file("out");
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;  // the first block gets its first 100 bytes in, then fails
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    TextLineFile file;
    file.open_write(name);
    int code = error_code_of([&] { file.write_text(std::string(TextLineFile::kBlockSize, 'w')); });
    // Room again: a close that wrote the failed block once more would now succeed.
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(code, EFBIG);
    EXPECT_NO_THROW(file.close());
    EXPECT_EQ(dir.read("out"), std::string(100, 'w'));
}

TEST(TextFileExistence, ExistingEntriesThatAreNotFolders) {
    TempDir dir;
    EXPECT_FALSE(file_exists(""));
    EXPECT_FALSE(file_exists(dir.path()));
    EXPECT_FALSE(file_exists(dir.file("none")));
    std::string name = dir.write("old", "");
    struct timespec times[2] = {{0, 0}, {0, 0}};  // stamped 1970
    ASSERT_EQ(::utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
    EXPECT_TRUE(file_exists(name));
}

TEST(ApplicationTitle, NameUpToTheFirstDotWithLaterLettersLowered) {
    EXPECT_EQ(application_title("/usr/lib/glossek/glossek"), "glossek");
    EXPECT_EQ(application_title("/opt/GLK32.EXE"), "Glk32");
    EXPECT_EQ(application_title("My.Prog.bin"), "My");
}

}  // namespace
}  // namespace glossek
