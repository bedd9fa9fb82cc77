// SPDX-License-Identifier: MIT
#include "app/frame_place.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace glossek {
namespace {

bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(FramePlace, KeptAsOneLineAndAnythingElseIsNoPlace) {
    test::TempDir dir;
    const std::string file = dir.file("GLK32.WIN");
    EXPECT_FALSE(read_frame_place(file).has_value());
    write_frame_place(file, {{-20, 40, 900, 650}, true});
    EXPECT_EQ(dir.read("GLK32.WIN"), "-20 40 900 650 1\r\n");
    const std::optional<FramePlace> back = read_frame_place(file);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->normal == (ScreenRect{-20, 40, 900, 650}));
    EXPECT_TRUE(back->maximised);
    for (const char* bad : {"", "10 20 300 200", "10 20 300 200 2", "10 20 0 200 0",
                            "10 20 300 200 0 9", "x 20 300 200 0"}) {
        dir.write("GLK32.WIN", std::string(bad) + "\r\n");
        EXPECT_FALSE(read_frame_place(file).has_value()) << bad;
    }
}

TEST(FramePlace, UsedOnlyWhereAScreenStillHoldsIt) {
    const std::vector<ScreenRect> screens = {{0, 0, 1024, 740}, {1024, 0, 1280, 1000}};
    // Partly off the right edge: kept as it is, on the screen that holds most of it.
    EXPECT_TRUE(usable_place({{900, 100, 695, 480}, false}, screens)->normal ==
                (ScreenRect{900, 100, 695, 480}));
    // Larger than its screen: no larger than the screen.
    EXPECT_TRUE(usable_place({{10, 10, 2000, 900}, false}, {screens[0]})->normal ==
                (ScreenRect{10, 10, 1024, 740}));
    // A screen that is gone, a title bar above the screen, a sliver: the design place.
    EXPECT_FALSE(usable_place({{3000, 100, 695, 480}, false}, screens).has_value());
    EXPECT_FALSE(usable_place({{100, -300, 695, 480}, false}, screens).has_value());
    EXPECT_FALSE(usable_place({{2260, 100, 695, 480}, false}, screens).has_value());
    EXPECT_TRUE(usable_place({{100, 100, 695, 480}, true}, screens)->maximised);
}

}  // namespace
}  // namespace glossek
