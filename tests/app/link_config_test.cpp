// SPDX-License-Identifier: MIT
#include "app/link_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "files/text_file.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

// The addresses the program opens until a link file replaces them.
const std::string kAuthor = "https://www.example.org/author/";
const std::string kProgram = "https://www.example.org/glossek/";
const std::string kMail = "mailto:author@example.org";

using test::TempDir;

struct LinkConfig : ::testing::Test {
    TempDir dir;
    Links links{"stale", "stale", "stale"};

    Links read(const std::string& bytes) {
        read_link_config(dir.write("GLK32.CFG", bytes), links);
        return links;
    }
};

TEST_F(LinkConfig, NoFileGivesTheDefaults) {
    read_link_config(dir.file("GLK32.CFG"), links);
    EXPECT_EQ(links.auth, kAuthor);
    EXPECT_EQ(links.glkh, kProgram);
    EXPECT_EQ(links.mail, kMail);
}

TEST_F(LinkConfig, KeyLineSetsOnlyItsLinkAndKeepsTheValueAsWritten) {
    Links read_links = read("MAILmailto:me@example.net\r\n");
    EXPECT_EQ(read_links.mail, "mailto:me@example.net");
    EXPECT_EQ(read_links.auth, kAuthor);
    EXPECT_EQ(read_links.glkh, kProgram);

    EXPECT_EQ(read("AUTH http://a.example\r\n").auth, " http://a.example");
    EXPECT_EQ(read("AUTH\r\n").auth, "");
    // A lone CR ends a line too, and Ctrl-Z ends the data.
    read_links = read(
        "GLKHhttp://g.example\rMAILmailto:x@y\r\n\x1A"
        "AUTHhttp://after\r\n");
    EXPECT_EQ(read_links.glkh, "http://g.example");
    EXPECT_EQ(read_links.mail, "mailto:x@y");
    EXPECT_EQ(read_links.auth, kAuthor);
}

TEST_F(LinkConfig, OtherShortAndRepeatedLinesFollowTheRules) {
    Links read_links = read(
        "auth http://lower.example\r\n"  // keys are case-sensitive
        "AB\r\n"
        "\r\n"
        "GLKHhttp://first.example\r\n"
        "# MAILmailto:comment@example\r\n"
        "GLKHhttp://second.example\r\n");
    EXPECT_EQ(read_links.auth, kAuthor);
    EXPECT_EQ(read_links.mail, kMail);
    EXPECT_EQ(read_links.glkh, "http://second.example");

    const std::string hundred = std::string(60, 'a') + std::string(40, 'b');
    read_links = read("AUTH" + hundred + "\r\nMAILmailto:next@example\r\n");
    EXPECT_EQ(read_links.auth, hundred.substr(0, 80));
    EXPECT_EQ(read_links.mail, "mailto:next@example");  // the rest of the long line skipped
}

TEST_F(LinkConfig, UnreadableFileFailsWithTheDefaultsInPlace) {
    // Opens like a file, fails when read.
    ASSERT_EQ(::symlink("/proc/self/mem", dir.file("GLK32.CFG").c_str()), 0);
    EXPECT_THROW(read_link_config(dir.file("GLK32.CFG"), links), TextIoError);
    EXPECT_EQ(links.auth, kAuthor);
    EXPECT_EQ(links.mail, kMail);
}

}  // namespace
}  // namespace glossek
