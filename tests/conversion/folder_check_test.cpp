// SPDX-License-Identifier: MIT
#include "conversion/folder_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace glossek {
namespace {

TEST(FolderCheck, FoldersAreComparedWithTheirLinksFollowed) {
    test::TempDir dir;
    ::mkdir(dir.file("in").c_str(), 0755);
    ::mkdir(dir.file("in/sub").c_str(), 0755);
    ASSERT_EQ(::symlink(dir.file("in").c_str(), dir.file("alias").c_str()), 0);
    dir.write("file.txt", "x");
    const std::string in = dir.file("in");
    EXPECT_EQ(check_folders(in, ""), FolderRefusal::OutputUnnamed);
    EXPECT_EQ(check_folders(in, dir.file("file.txt")), FolderRefusal::OutputIsFile);
    EXPECT_EQ(check_folders(in, dir.file("alias")), FolderRefusal::OutputInsideInput);
    EXPECT_EQ(check_folders(in, dir.file("alias/new/deeper")), FolderRefusal::OutputInsideInput);
    EXPECT_EQ(check_folders(dir.file("alias/sub"), in), FolderRefusal::InputInsideOutput);
    EXPECT_EQ(check_folders(in, dir.file("in2")), FolderRefusal::None);  // a name alike
    EXPECT_EQ(check_folders(in, dir.file("out/new")), FolderRefusal::None);
    // A missing input holds nothing: the output is not said to lie inside it.
    EXPECT_EQ(check_folders(dir.file("missing"), dir.file("out")), FolderRefusal::None);
}

TEST(FolderCheck, WhatIsDoneWithEachReading) {
    auto action = [](Reading reading, ConversionWay way) {
        FileReading file;
        file.reading = reading;
        return folder_action(file, way);
    };
    using enum ConversionWay;
    EXPECT_EQ(action(Reading::Dos, DosToWindows), FolderResult::Converted);
    EXPECT_EQ(action(Reading::Unsure, DosToWindows), FolderResult::Converted);
    EXPECT_EQ(action(Reading::Windows, DosToWindows), FolderResult::CopiedTarget);
    EXPECT_EQ(action(Reading::Utf8, DosToWindows), FolderResult::CopiedTarget);
    EXPECT_EQ(action(Reading::Dos, WindowsToDos), FolderResult::CopiedTarget);
    EXPECT_EQ(action(Reading::Windows, AuxiliaryTable), FolderResult::Converted);
    for (ConversionWay way : {DosToWindows, WindowsToDos, AuxiliaryTable}) {
        EXPECT_EQ(action(Reading::Binary, way), FolderResult::CopiedBinary);
    }
}

}  // namespace
}  // namespace glossek
