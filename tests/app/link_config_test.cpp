#include "app/link_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "conversion/text_file.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

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
    const Links defaults = default_links();
    EXPECT_EQ(links.auth, defaults.auth);
    EXPECT_EQ(links.glkh, defaults.glkh);
    EXPECT_EQ(links.mail, defaults.mail);
    for (const std::string& link : {defaults.auth, defaults.glkh, defaults.mail}) {
        EXPECT_LE(link.size(), kLinkValueWidth) << link;
    }
    EXPECT_EQ(defaults.auth.rfind("https://", 0), 0u);
    EXPECT_EQ(defaults.glkh.rfind("https://", 0), 0u);
    EXPECT_EQ(defaults.mail.rfind("mailto:", 0), 0u);
}

TEST_F(LinkConfig, KeyLineSetsOnlyItsLinkAndKeepsTheValueAsWritten) {
    const Links defaults = default_links();
    Links read_links = read("MAILmailto:me@example.net\r\n");
    EXPECT_EQ(read_links.mail, "mailto:me@example.net");
    EXPECT_EQ(read_links.auth, defaults.auth);
    EXPECT_EQ(read_links.glkh, defaults.glkh);

    EXPECT_EQ(read("AUTH http://a.example\r\n").auth, " http://a.example");
    EXPECT_EQ(read("AUTH\r\n").auth, "");
    // A lone CR ends a line too, and Ctrl-Z ends the data.
    read_links = read(
        "GLKHhttp://g.example\rMAILmailto:x@y\r\n\x1A"
        "AUTHhttp://after\r\n");
    EXPECT_EQ(read_links.glkh, "http://g.example");
    EXPECT_EQ(read_links.mail, "mailto:x@y");
    EXPECT_EQ(read_links.auth, defaults.auth);
}

TEST_F(LinkConfig, OtherShortAndRepeatedLinesFollowTheRules) {
    const Links defaults = default_links();
    Links read_links = read(
        "auth http://lower.example\r\n"  // keys are case-sensitive
        "AB\r\n"
        "\r\n"
        "GLKHhttp://first.example\r\n"
        "# MAILmailto:comment@example\r\n"
        "GLKHhttp://second.example\r\n");
    EXPECT_EQ(read_links.auth, defaults.auth);
    EXPECT_EQ(read_links.mail, defaults.mail);
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
    EXPECT_EQ(links.auth, default_links().auth);
    EXPECT_EQ(links.mail, default_links().mail);
}

}  // namespace
}  // namespace glossek
