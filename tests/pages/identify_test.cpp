// SPDX-License-Identifier: MIT
#include "pages/identify.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "files/file_error.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

FileReading read(const std::string& bytes, const CodePagePair& pages = code_page_pair(850, 1252),
                 Kernel kernel = best_kernel()) {
    Identifier identifier(kernel);
    identifier.feed(bytes.data(), bytes.size());
    return identifier.finish(pages);
}

// The counts by the text files' rules, byte by byte: up to the first Ctrl-Z, each CR ends a
// line (with the LF after it), a lone LF is text.
FileReading counted(const std::string& bytes) {
    FileReading expected;
    const std::size_t end = std::min(bytes.size(), bytes.find('\x1A'));
    if (end < bytes.size()) {
        expected.ctrl_z = end;
    }
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] == '\r') {
            const bool lf = i + 1 < end && bytes[i + 1] == '\n';
            (lf ? expected.crlf : expected.cr) += 1;
            ++expected.lines;
            i += lf ? 1 : 0;
        } else if (bytes[i] == '\n') {
            ++expected.lf;
        }
        expected.nul += bytes[i] == '\0' ? 1 : 0;
    }
    const bool open_line = end > 0 && bytes[end - 1] != '\r' &&
                           !(bytes[end - 1] == '\n' && end >= 2 && bytes[end - 2] == '\r');
    expected.lines += open_line ? 1 : 0;
    return expected;
}

class IdentifierKernels : public ::testing::TestWithParam<Kernel> {};

// Random texts of line ends, NULs, Ctrl-Z and bytes above 0x7F, fed whole and in parts cut
// anywhere: the counts are the text files' own, and the reading does not depend on the cuts.
TEST_P(IdentifierKernels, CountsFollowTheLineRulesWhereverThePartsEnd) {
    if (!has_kernel(GetParam())) {
        GTEST_SKIP() << "this processor lacks the kernel";
    }
    std::mt19937 random(866);  // fixed so that a failure can be replayed
    const std::string pieces[] = {"\r\n",    "\r",   "\n",          std::string(1, '\0'),
                                  "\x82",    "\xE9", "\xC3\xA9",    "word ",
                                  "\x1B[1m", "\x1A", "\xCD\xCD\xCD"};
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const std::size_t size = random() % 3 == 0 ? random() % 40 : random() % 5000;
        while (text.size() < size) {
            const std::string& piece = pieces[random() % std::size(pieces)];
            text += piece == "\x1A" && random() % 4 != 0 ? std::string("plain") : piece;
        }
        const FileReading expected = counted(text);
        const FileReading whole = read(text, code_page_pair(850, 1252), GetParam());
        EXPECT_EQ(whole.crlf, expected.crlf);
        EXPECT_EQ(whole.cr, expected.cr);
        EXPECT_EQ(whole.lf, expected.lf);
        EXPECT_EQ(whole.lines, expected.lines);
        EXPECT_EQ(whole.nul, expected.nul);
        EXPECT_EQ(whole.ctrl_z, expected.ctrl_z);
        Identifier parts(GetParam());
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t part = std::min(text.size() - at, std::size_t{1} + random() % 97);
            parts.feed(text.data() + at, part);
            at += part;
        }
        const FileReading cut = parts.finish(code_page_pair(850, 1252));
        EXPECT_EQ(cut.reading, whole.reading);
        EXPECT_EQ(cut.suggestion, whole.suggestion);
        EXPECT_EQ(cut.lines, whole.lines);
        EXPECT_EQ(cut.crlf, whole.crlf);
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, IdentifierKernels, ::testing::Values(Kernel::Plain, Kernel::Avx2),
                         [](const auto& kernel) {
                             return std::string(kernel.param == Kernel::Plain ? "Plain" : "Avx2");
                         });

TEST(Identify, WhatAFileReadsAs) {
    EXPECT_EQ(read("").reading, Reading::Empty);
    EXPECT_EQ(read("\x1A junk after the end").reading, Reading::Empty);
    EXPECT_EQ(read("plain words\r\n").reading, Reading::Ascii);
    const FileReading bom = read(
        "\xEF\xBB\xBF"
        "plain\r\n");
    EXPECT_EQ(bom.reading, Reading::Utf8);
    EXPECT_EQ(bom.page, kUtf8Page);
    EXPECT_TRUE(bom.bom);
    EXPECT_EQ(read("caf\xC3\xA9").reading, Reading::Utf8);
    EXPECT_EQ(read("caf\xC3").reading, Reading::Unsure);  // a sequence cut by the end
    // Binary: a NUL, control bytes text does not hold, data past a Ctrl-Z that outweighs
    // the text before it.
    EXPECT_EQ(read(std::string("text\0text", 9)).reading, Reading::Binary);
    EXPECT_EQ(read(std::string(64, '\x01')).reading, Reading::Binary);
    EXPECT_EQ(read("\x89PNG\r\n\x1A\n" + std::string(100, '\0')).reading, Reading::Binary);
    EXPECT_EQ(read("a page\r\n\x0C\x1B"
                   "E bold\r\n")
                  .reading,
              Reading::Ascii);

    // "Le comité a décidé..." in CP850 and in CP1252, under the pair and under UTF-8.
    const std::string dos =
        "Le comit\x82 a d\x82"
        "cid\x82 de reporter la r\x82union.\r\n";
    const std::string windows =
        "Le comit\xE9 a d\xE9"
        "cid\xE9 de reporter la r\xE9union.\r\n";
    EXPECT_EQ(read(dos).reading, Reading::Dos);
    EXPECT_EQ(read(dos).page, 850);
    EXPECT_EQ(read(windows).reading, Reading::Windows);
    EXPECT_EQ(read(windows).page, 1252);
    EXPECT_EQ(read(dos, code_page_pair(850, kUtf8Page)).reading, Reading::Dos);
    EXPECT_NE(read(windows, code_page_pair(850, kUtf8Page)).reading, Reading::Dos);
    // One odd byte tells too little.
    EXPECT_EQ(read("x\x82\r\n").reading, Reading::Unsure);
}

TEST(Identify, PagesOutsideThePairAreSuggested) {
    // "Вчера вечером мы ходили в театр на новую пьесу." in CP866, twice.
    const std::string russian =
        "\x82\xE7\xA5\xE0\xA0 \xA2\xA5\xE7\xA5\xE0\xAE\xAC \xAC\xEB \xE5\xAE\xA4\xA8\xAB\xA8 "
        "\xA2 \xE2\xA5\xA0\xE2\xE0 \xAD\xA0 \xAD\xAE\xA2\xE3\xEE \xAF\xEC\xA5\xE1\xE3.\r\n";
    const FileReading under_western = read(russian + russian);
    EXPECT_EQ(under_western.reading, Reading::Unsure);
    EXPECT_EQ(under_western.suggestion, 866);
    EXPECT_EQ(read(russian + russian, code_page_pair(866, 1251)).reading, Reading::Dos);
    EXPECT_EQ(read(russian + russian, code_page_pair(866, 1251)).suggestion, 0);
}

TEST(Identify, OnlyRegularFilesAreRead) {
    test::TempDir dir;
    const CodePagePair pages = code_page_pair(850, 1252);
    EXPECT_EQ(identify_file(dir.write("a.txt", "plain\r\n"), pages).reading, Reading::Ascii);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    for (const std::string& name : {dir.path(), dir.file("fifo"), std::string("/dev/null")}) {
        try {
            identify_file(name, pages);
            ADD_FAILURE() << name << " was read";
        } catch (const TextIoError& error) {
            EXPECT_EQ(error.code(), kNotRegularFile) << name;
        }
    }
    EXPECT_THROW(identify_file(dir.file("none"), pages), TextIoError);
}

}  // namespace
}  // namespace glossek
