// SPDX-License-Identifier: MIT
#include "conversion/input_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/engine.h"
#include "support/temp_dir.h"

namespace glossek {
namespace {

using test::TempDir;

TEST(InputView, LinesAreCutForTheViewerAndAllCounted) {
    TempDir dir;
    const std::string long_line(3 * kViewerLineBytes + 5, 'L');
    ConversionJob job;
    job.input_name = dir.write("in.txt", "first\r\n" + long_line + "\r\nlast");
    std::vector<std::string> shown;
    read_input_view(job, [&](std::string_view line) { shown.emplace_back(line); });
    EXPECT_EQ(shown,
              (std::vector<std::string>{"first", long_line.substr(0, kViewerLineBytes), "last"}));
    EXPECT_EQ(job.line_count, 3);
    EXPECT_FALSE(job.input_file.is_open());
}

}  // namespace
}  // namespace glossek
