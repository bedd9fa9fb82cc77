// SPDX-License-Identifier: MIT
#include "files/file_names.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

TEST(SameFile, NamesAndIdentity) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "x");
    dir.write("b.txt", "x");
    ASSERT_EQ(::symlink(file.c_str(), dir.file("sym").c_str()), 0);
    ASSERT_EQ(::link(file.c_str(), dir.file("hard").c_str()), 0);
    EXPECT_TRUE(same_file("", ""));
    EXPECT_TRUE(same_file(dir.file("none"), dir.file("none")));
    EXPECT_TRUE(same_file(file, dir.file("sym")));
    EXPECT_TRUE(same_file(dir.file("hard"), file));
    EXPECT_TRUE(same_file(dir.path() + "/./a.txt", file));
    EXPECT_FALSE(same_file(file, dir.file("b.txt")));
    EXPECT_FALSE(same_file(file, dir.file("none")));
    EXPECT_FALSE(same_file("", file));
    EXPECT_FALSE(same_file("/dev/null", "/dev/zero"));
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

}  // namespace
}  // namespace glossek
