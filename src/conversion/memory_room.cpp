// SPDX-License-Identifier: MIT
#include "conversion/memory_room.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

namespace glossek {

namespace {

// The first whole number in `text`, or UINT64_MAX ("max", nothing, too large).
std::uint64_t number_in(std::string_view text) {
    const std::size_t start = text.find_first_of("0123456789");
    if (start == std::string_view::npos) {
        return UINT64_MAX;
    }
    std::uint64_t value = 0;
    for (std::size_t i = start; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > UINT64_MAX / 10 - 1) {
            return UINT64_MAX;
        }
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return value;
}

// A small file of /proc or /sys whole; empty when it cannot be read.
std::string small_file(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    char block[4096];
    ssize_t got = 0;
    while (text.size() < 64 * 1024 && (got = ::read(fd, block, sizeof block)) > 0) {
        text.append(block, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

// What is left under the limits of the group at `path` (under `base`) and the groups above it.
std::uint64_t group_room(const std::string& base, std::string path, const char* limit_name,
                         const char* usage_name,
                         const std::function<std::string(const std::string&)>& read_file) {
    std::uint64_t room = UINT64_MAX;
    for (;;) {
        const std::string folder = base + (path == "/" ? "" : path) + "/";
        const std::uint64_t limit = number_in(read_file(folder + limit_name));
        if (limit != UINT64_MAX) {
            const std::uint64_t usage = number_in(read_file(folder + usage_name));
            const std::uint64_t used = usage == UINT64_MAX ? 0 : usage;
            room = std::min(room, limit > used ? limit - used : 0);
        }
        if (path.empty() || path == "/") {
            return room;
        }
        const std::size_t slash = path.find_last_of('/');
        path = slash == 0 ? "/" : path.substr(0, slash);
    }
}

}  // namespace

std::uint64_t memory_room(const std::string& meminfo, const std::string& cgroups,
                          const std::function<std::string(const std::string&)>& read_file) {
    std::uint64_t room = UINT64_MAX;
    const std::size_t available = meminfo.find("MemAvailable:");
    if (available != std::string::npos) {
        const std::uint64_t kib = number_in(std::string_view(meminfo).substr(available));
        room = kib == UINT64_MAX ? room : kib * 1024;
    }
    // Lines "ID:CONTROLLERS:PATH"; cgroup v2 has ID 0 and no controllers, v1 names "memory".
    std::string_view lines(cgroups);
    while (!lines.empty()) {
        const std::string_view line = lines.substr(0, lines.find('\n'));
        lines.remove_prefix(std::min(lines.size(), line.size() + 1));
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first == std::string_view::npos || second == std::string_view::npos) {
            continue;
        }
        const std::string_view controllers = line.substr(first + 1, second - first - 1);
        const std::string path(line.substr(second + 1));
        if (line.substr(0, first) == "0" && controllers.empty()) {
            for (const char* base : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"}) {
                room = std::min(room,
                                group_room(base, path, "memory.max", "memory.current", read_file));
            }
        } else if (("," + std::string(controllers) + ",").find(",memory,") != std::string::npos) {
            room = std::min(room, group_room("/sys/fs/cgroup/memory", path, "memory.limit_in_bytes",
                                             "memory.usage_in_bytes", read_file));
        }
    }
    return room;
}

std::uint64_t memory_room() {
    return memory_room(small_file("/proc/meminfo"), small_file("/proc/self/cgroup"), small_file);
}

}  // namespace glossek
