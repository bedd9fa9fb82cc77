// SPDX-License-Identifier: MIT
// How much memory the system can still give. Linux grants memory it does not have and kills
// the process that touches it later, so a line that grows without end never sees an
// allocation fail: the table way bounds its lines by this instead.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace glossek {

// What the system can still give this process, in bytes: MemAvailable of /proc/meminfo and,
// where the process's control group or one above it sets a limit, what is left of it
// (memory.max less memory.current under cgroup v2, memory.limit_in_bytes less
// memory.usage_in_bytes under v1); the least of them. UINT64_MAX when none can be read.
std::uint64_t memory_room();

// The same from the contents of /proc/meminfo and /proc/self/cgroup, with `read_file`
// reading a control group's file by its full path (empty when it cannot be read).
std::uint64_t memory_room(const std::string& meminfo, const std::string& cgroups,
                          const std::function<std::string(const std::string&)>& read_file);

}  // namespace glossek
