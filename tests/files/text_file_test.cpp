// SPDX-License-Identifier: MIT
#include "files/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "files/file_names.h"
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

// next_line_part, read_line with a limit and position against read_line, wherever the
// lines and the blocks end.
TEST(TextFileReading, PartsLimitsAndPositionAgreeWithWholeLines) {
    const std::size_t block = TextLineFile::kBlockSize;
    std::mt19937 random(1252);  // fixed so that a failure can be replayed
    std::vector<std::string> inputs = {std::string(block - 1, 'a') + "\r",
                                       std::string(block - 1, 'a') + "\r\nb",
                                       std::string(3 * block, 'c'), "\r\r\n\r"};
    for (int round = 0; round < 6; ++round) {
        std::string bytes(3 * block + random() % block, 'z');
        for (char& c : bytes) {
            const unsigned pick = random() % (round < 3 ? 40000 : 50);
            c = pick == 0 ? '\r' : pick == 1 ? '\n' : c;
        }
        inputs.push_back(bytes + "\x1A" + "ignored\r\n");
    }
    TempDir dir;
    for (const std::string& bytes : inputs) {
        const std::string name = dir.write("in.txt", bytes);
        const Lines expected = read_lines(name);

        TextLineFile file;
        file.open_read(name);
        for (const std::string& line : expected) {
            ASSERT_FALSE(file.at_end());
            std::string joined;
            bool ended = false;
            while (!ended) {
                const std::string_view part = file.next_line_part(ended);
                ASSERT_LE(part.size(), block);
                joined.append(part);
            }
            ASSERT_EQ(joined, line);
        }
        EXPECT_TRUE(file.at_end());
        file.close();

        const std::size_t limit = 1 + random() % (2 * block);
        file.open_read(name);
        std::string cut;
        for (const std::string& line : expected) {
            const std::uint64_t start = file.position();
            const bool whole = file.read_line(cut, limit);
            ASSERT_EQ(whole, line.size() <= limit);
            ASSERT_EQ(cut, line.substr(0, limit));
            if (!whole) {
                ASSERT_EQ(file.position() - start, limit);
                file.skip_line();
            }
        }
        EXPECT_TRUE(file.at_end());
        EXPECT_EQ(file.position(), std::min(bytes.size(), bytes.find('\x1A')));
        file.close();
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

TEST(TextFileWriting, LinesAndRoomsReachEveryByteAcrossBlocks) {
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
    TempDir dir;
    TextLineFile file;
    file.open_write(dir.file("out"));
    for (int copy = 0; copy < 3; ++copy) {  // the blocks end at other places each time
        for (const std::string& line : lines) {
            file.write_line(line);
        }
    }
    // Rooms of every size, filled to their end or not, past the block's end or not, between
    // writes of the other kinds.
    std::string expected = plain + plain + plain;
    std::mt19937 random(65001);  // fixed so that a failure can be replayed
    for (int round = 0; round < 3000; ++round) {
        const std::size_t minimum = 1 + random() % 2000;
        const TextLineFile::Room room = file.write_room(minimum);
        ASSERT_GE(room.size, minimum);
        const std::size_t used = random() % 3 == 0 ? room.size : random() % (room.size + 1);
        for (std::size_t i = 0; i < used; ++i) {
            room.data[i] = static_cast<char>(random());
        }
        expected.append(room.data, used);
        file.wrote(used);
        if (round % 7 == 0) {
            file.write_line(lines[static_cast<std::size_t>(round) % lines.size()]);
            expected += lines[static_cast<std::size_t>(round) % lines.size()] + "\r\n";
        }
    }
    file.close();
    ASSERT_EQ(dir.read("out"), expected);
}

// Each way of looking for whole lines, where the processor has it.
class WholeLines : public ::testing::TestWithParam<LineScan> {};

TEST_P(WholeLines, StopBeforeANulOrALoneCrAndAgreeWithLines) {
    if (!has_line_scan(GetParam())) {
        GTEST_SKIP() << "this processor lacks AVX2";
    }
    const std::size_t block = TextLineFile::kBlockSize;
    std::vector<std::string> inputs = {
        "a\r\nb\r\n",
        "a\r\nb\rc\r\nd\r\n",                       // a lone CR stops before its line
        std::string("a\r\nb\0b\r\nc\r\n", 10),      // so does a NUL
        std::string(block - 1, 'x') + "\r\ny\r\n",  // a CR whose LF is in the next block
        "no line end",
    };
    std::mt19937 random(850);  // fixed so that a failure can be replayed
    for (int round = 0; round < 6; ++round) {
        std::string bytes(3 * block + random() % block, 'z');
        for (char& c : bytes) {
            const unsigned pick = random() % (round < 3 ? 40 : 4000);
            c = pick < 2 ? '\r' : pick == 2 ? '\n' : pick == 3 && round % 2 == 0 ? '\0' : c;
        }
        inputs.push_back(bytes);
    }
    TempDir dir;
    for (const std::string& bytes : inputs) {
        const std::string name = dir.write("in.txt", bytes);
        const Lines expected = read_lines(name);
        // Whole lines where there are any, else one line: together the same lines.
        TextLineFile file;
        file.open_read(name);
        Lines got;
        std::string_view lines;
        std::size_t count = 0;
        while (!file.at_end()) {
            if (!file.whole_lines(lines, count, GetParam())) {
                got.emplace_back(file.next_line());
                continue;
            }
            ASSERT_GE(lines.size(), 2u);
            ASSERT_EQ(lines.substr(lines.size() - 2), "\r\n");
            ASSERT_EQ(lines.find('\0'), std::string_view::npos);
            std::size_t found = 0;
            for (std::size_t at = 0; at < lines.size();) {
                const std::size_t cr = lines.find('\r', at);
                ASSERT_EQ(lines[cr + 1], '\n');  // CR LF and nothing else
                got.emplace_back(lines.substr(at, cr - at));
                at = cr + 2;
                ++found;
            }
            ASSERT_EQ(found, count);
        }
        file.close();
        EXPECT_EQ(got, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Scans, WholeLines, ::testing::Values(LineScan::Basic, LineScan::Avx2),
                         [](const auto& scan) {
                             return std::string(scan.param == LineScan::Avx2 ? "Avx2" : "Basic");
                         });

TEST(TextFileReading, ByteOrderMarkIsSkippedOnlyWhereAsked) {
    TempDir dir;
    TextLineFile file;
    file.open_read(dir.write("bom",
                             "\xEF\xBB\xBF"
                             "a\r\n"));
    EXPECT_FALSE(
        file.skip_prefix("\xEF\xBB\xBF"
                         "a\r\nmore"));  // not all there: nothing taken
    EXPECT_TRUE(file.skip_prefix("\xEF\xBB\xBF"));
    EXPECT_EQ(file.read_line(), "a");
    EXPECT_FALSE(file.skip_prefix("\xEF\xBB\xBF"));
    file.close();
    file.open_read(dir.write("empty", ""));
    EXPECT_FALSE(file.skip_prefix("\xEF"));
    EXPECT_TRUE(file.at_end());
    file.close();
}

TEST(TextFileReading, AByteOrderMarkThatComesInSeveralReadsIsSkippedWhole) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::thread writer([&] {
        // As a pipe may bring it: the first byte alone, the rest later.
        EXPECT_EQ(::write(ends[1], "\xEF", 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(::write(ends[1],
                          "\xBB\xBF"
                          "a\r\n",
                          5),
                  5);
        ::close(ends[1]);
    });
    TextLineFile file;
    file.open_read("/dev/fd/" + std::to_string(ends[0]));
    EXPECT_TRUE(file.skip_prefix("\xEF\xBB\xBF"));
    EXPECT_EQ(file.read_line(), "a");
    file.close();
    writer.join();
    ::close(ends[0]);
}

TEST(TextFileReading, AFileCutShortWhileItIsReadFailsAtItsEnd) {
    TempDir dir;
    const std::string name = dir.write("in.txt", std::string(3 * TextLineFile::kBlockSize, 'x'));
    TextLineFile file;
    file.open_read(name);
    bool ended = false;
    file.next_line_part(ended);  // the first block read
    ASSERT_EQ(::truncate(name.c_str(), TextLineFile::kBlockSize + 10), 0);
    EXPECT_EQ(error_code_of([&] {
                  while (!file.at_end()) {
                      file.skip_line();
                  }
              }),
              kInputChanged);
}

using Names = std::vector<std::string>;

mode_t mode_of(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(::stat(name.c_str(), &st), 0) << name;
    return st.st_mode & 07777;
}

TEST(TextFileReplacing, OldFileStaysUntilTheNewOneIsClosed) {
    TempDir dir;
    dir.write("out", "precious");
    TextLineFile file;
    file.open_write(dir.file("out"));
    file.write_text(std::string(TextLineFile::kBlockSize + 10, 'n'));  // a block on its way
    EXPECT_EQ(dir.read("out"), "precious");
    EXPECT_EQ(dir.names().size(), 2u);  // the old file and the one being written
    file.close();
    EXPECT_EQ(dir.read("out"), std::string(TextLineFile::kBlockSize + 10, 'n'));
    EXPECT_EQ(dir.names(), Names{"out"});

    file.open_write(dir.file("new"));  // a name that did not exist appears only at the end
    EXPECT_FALSE(file_exists(dir.file("new")));
    file.close();
    EXPECT_EQ(dir.read("new"), "");
}

TEST(TextFileReplacing, AnAbandonedFileLeavesNothingBehind) {
    TempDir dir;
    dir.write("old", "precious");
    for (int way = 0; way < 3; ++way) {
        for (const char* name : {"old", "new"}) {
            auto file = std::make_unique<TextLineFile>();
            file->open_write(dir.file(name));
            file->write_text(std::string(3 * TextLineFile::kBlockSize, 'x'));
            if (way == 0) {
                file->abandon();
            } else if (way == 1) {
                CloseOnExit guard(*file);  // a command that ends early
            }
            file.reset();  // way 2: destroyed without a close
        }
        EXPECT_EQ(dir.names(), Names{"old"}) << way;
        EXPECT_EQ(dir.read("old"), "precious") << way;
    }
}

TEST(TextFileReplacing, PermissionBitsOfTheOldFileAreKeptANewFileFollowsTheUmask) {
    TempDir dir;
    const std::string name = dir.write("kept", "old");
    for (mode_t bits : {0640, 0755, 0600, 02775}) {
        ASSERT_EQ(::chmod(name.c_str(), bits), 0);
        TextLineFile file;
        file.open_write(name);
        file.write_line("new");
        file.close();
        EXPECT_EQ(mode_of(name), bits);
        EXPECT_EQ(dir.read("kept"), "new\r\n");
    }
    const mode_t previous = ::umask(027);
    TextLineFile file;
    file.open_write(dir.file("fresh"));
    file.close();
    ::umask(previous);
    EXPECT_EQ(mode_of(dir.file("fresh")), 0640u);
}

ino_t inode_of(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(::stat(name.c_str(), &st), 0) << name;
    return st.st_ino;
}

// A file with another hard link is written in place: both names see the new content, and
// its attributes stay; a renamed file is given its attributes.
TEST(TextFileReplacing, HardLinksAndAttributesAreKept) {
    TempDir dir;
    const std::string name = dir.write("out", "old content");
    ASSERT_EQ(::setxattr(name.c_str(), "user.origin", "here", 4, 0), 0);
    ASSERT_EQ(::link(name.c_str(), dir.file("other").c_str()), 0);
    const ino_t inode = inode_of(name);
    for (const std::string& text :
         {std::string(3 * TextLineFile::kBlockSize, 'n'), std::string("short")}) {
        const std::string before = dir.read("out");
        TextLineFile file;
        file.open_write(name);
        file.write_text(text);
        EXPECT_EQ(dir.read("other"), before);
        file.close();
        EXPECT_EQ(dir.read("out"), text);
        EXPECT_EQ(dir.read("other"), text);
        EXPECT_EQ(inode_of(name), inode);
    }
    ASSERT_EQ(::unlink(dir.file("other").c_str()), 0);
    TextLineFile file;
    file.open_write(name);
    file.write_text("renamed");
    file.close();
    EXPECT_NE(inode_of(name), inode);
    char value[16] = {};
    EXPECT_EQ(::getxattr(name.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_STREQ(value, "here");
    EXPECT_EQ(dir.names(), (Names{"out"}));
}

TEST(TextFileReplacing, SymbolicLinksStayLinksAndTheirTargetsAreReplaced) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("elsewhere").c_str(), 0755), 0);
    dir.write("elsewhere/target", "old");
    ASSERT_EQ(::symlink("elsewhere/target", dir.file("link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.file("link").c_str(), dir.file("chain").c_str()), 0);
    ASSERT_EQ(::symlink("elsewhere/later", dir.file("dangling").c_str()), 0);
    for (const char* name : {"link", "chain", "dangling"}) {
        TextLineFile file;
        file.open_write(dir.file(name));
        file.write_text(name);
        file.close();
        struct stat st {};
        ASSERT_EQ(::lstat(dir.file(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << name;
        EXPECT_EQ(dir.read(name), name);
    }
    EXPECT_EQ(dir.read("elsewhere/target"), "chain");
    EXPECT_EQ(dir.read("elsewhere/later"), "dangling");
    EXPECT_EQ(dir.names(dir.file("elsewhere")), (Names{"later", "target"}));

    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    TextLineFile file;
    EXPECT_EQ(error_code_of([&] { file.open_write(dir.file("loop")); }), kDiskWriteError);
}

TEST(TextFileReplacing, DevicesAndPipesAreWrittenInPlace) {
    TextLineFile reader;
    reader.open_read("/dev/null");
    TextLineFile writer;
    writer.open_write("/dev/null");  // a device is never "the file being read"
    writer.write_line("into nothing");
    writer.close();
    EXPECT_TRUE(reader.at_end());
    reader.close();

    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    const int read_end = ::open(dir.file("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(read_end, 0);
    writer.open_write(dir.file("fifo"));
    writer.write_line("through");
    writer.close();
    char got[16] = {};
    EXPECT_EQ(::read(read_end, got, sizeof got), 9);
    EXPECT_EQ(std::string(got, 9), "through\r\n");
    ::close(read_end);
    EXPECT_EQ(dir.names(), Names{"fifo"});
}

TEST(TextFileErrors, CodesAndMessages) {
    TempDir dir;
    TextLineFile file;
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file("missing")); }), 2);
    EXPECT_EQ(error_code_of([&] { file.open_read(dir.file("nofolder/x")); }), 3);
    EXPECT_EQ(error_code_of([&] { file.open_write(dir.file("nofolder/x")); }), 3);
    ASSERT_EQ(::symlink("nofolder/x", dir.file("dangling").c_str()), 0);
    EXPECT_EQ(error_code_of([&] { file.open_write(dir.file("dangling")); }), 3);
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

    EXPECT_STREQ(TextIoError(2).what(), "File not found");
    EXPECT_STREQ(TextIoError(3).what(), "Invalid filename");
    EXPECT_STREQ(TextIoError(4).what(), "Too many open files");
    EXPECT_STREQ(TextIoError(5).what(), "File access denied");
    EXPECT_STREQ(TextIoError(32).what(), "I/O error 32");
    EXPECT_STREQ(TextIoError(kDiskReadError, "f", EIO).what(), "Disk read error");
    EXPECT_STREQ(TextIoError(kDiskWriteError).what(), "Disk write error");
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

TEST(TextFileErrors, WriteThatFindsNoRoomIsADiskWriteErrorThatSaysWhy) {
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    TextLineFile file;
    file.open_write("/dev/full");
    // More than a block, so the failure comes part-way.
    const std::string more_than_a_block(TextLineFile::kBlockSize + 1, 'x');
    try {
        file.write_text(more_than_a_block);
        FAIL();
    } catch (const TextIoError& error) {
        EXPECT_EQ(error.code(), kDiskWriteError);
        EXPECT_EQ(error.system_error(), ENOSPC);
        EXPECT_EQ(error.file(), "/dev/full");
    }
    EXPECT_FALSE(file.is_open());  // a failed write ends the file
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
    EXPECT_STREQ(TextIoError(32).what(), "I/O error 32");
    EXPECT_EQ(reader.read_line(), "keep me");
    reader.close();
    EXPECT_EQ(dir.read("in.txt"), "keep me\r\n");

    writer.open_write(input);  // no longer being read
    writer.close();
    EXPECT_EQ(dir.read("in.txt"), "");
}

// Runs `action` with the file-size limit at `limit` bytes, as a process under ulimit -f.
void with_size_limit(rlim_t limit, const std::function<void()>& action) {
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    action();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
}

TEST(TextFileErrors, FailedWriteLeavesTheOldFileAsItWasAndSaysWhy) {
    TempDir dir;
    dir.write("out", "precious");
    TextLineFile file;
    // Within the first block, at a later one, and at the close: each the same for the user.
    for (rlim_t limit : {rlim_t{100}, rlim_t{TextLineFile::kBlockSize + 100},
                         rlim_t{3 * TextLineFile::kBlockSize + 2}}) {
        int code = 0;
        int system_error = 0;
        with_size_limit(limit, [&] {
            try {
                file.open_write(dir.file("out"));
                for (int i = 0; i < 3; ++i) {
                    file.write_text(std::string(TextLineFile::kBlockSize, 'w'));
                }
                file.write_text("tail");
                file.close();
            } catch (const TextIoError& error) {
                code = error.code();
                system_error = error.system_error();
            }
        });
        EXPECT_EQ(code, kDiskWriteError) << limit;
        EXPECT_EQ(system_error, EFBIG) << limit;
        EXPECT_FALSE(file.is_open());
        // Room again: nothing may now put the part that was written in place.
        EXPECT_EQ(error_code_of([&] { file.close(); }), 103);
        EXPECT_EQ(error_code_of([&] { file.write_text("x"); }), 105);
        EXPECT_EQ(dir.read("out"), "precious") << limit;
        EXPECT_EQ(dir.names(), Names{"out"}) << limit;
    }
}

}  // namespace
}  // namespace glossek
