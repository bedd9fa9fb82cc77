// SPDX-License-Identifier: MIT
#include "conversion/memory_room.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace glossek {
namespace {

// MemAvailable, and the limits of the process's control group and of the groups above it
// under cgroup v1 and v2, less what each has used; "max" and a missing file are no limit.
TEST(MemoryRoom, TheLeastOfWhatTheSystemAndEachControlGroupLeave) {
    const std::string meminfo = "MemTotal: 24000000 kB\nMemAvailable:   8000000 kB\n";
    std::map<std::string, std::string> files = {
        {"/sys/fs/cgroup/memory/jobs/a/memory.limit_in_bytes", "9223372036854771712\n"},
        {"/sys/fs/cgroup/memory/jobs/memory.limit_in_bytes", "3000000000\n"},
        {"/sys/fs/cgroup/memory/jobs/memory.usage_in_bytes", "1000000000\n"},
        {"/sys/fs/cgroup/user/memory.max", "max\n"},
        {"/sys/fs/cgroup/user/s/memory.max", "700000000\n"},
        {"/sys/fs/cgroup/user/s/memory.current", "200000000\n"},
    };
    const auto read = [&files](const std::string& path) {
        const auto it = files.find(path);
        return it == files.end() ? std::string() : it->second;
    };
    EXPECT_EQ(memory_room(meminfo, "", read), 8000000ull * 1024);
    EXPECT_EQ(memory_room(meminfo, "5:cpu,memory:/jobs/a\n0::/\n", read), 2000000000u);
    EXPECT_EQ(memory_room(meminfo, "0::/user/s\n", read), 500000000u);
    EXPECT_EQ(memory_room("", "4:blkio:/jobs/a\n", read), UINT64_MAX);
    EXPECT_GT(memory_room(), 0u);
}

}  // namespace
}  // namespace glossek
