// SPDX-License-Identifier: MIT
// A regular file read from start to end in blocks, each handed on as it comes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace glossek {

// Reads the file `name` in blocks of `block_size` bytes (the last may be shorter), giving
// each to `take`. Throws TextIoError when the file cannot be opened or read, and when it is
// no regular file (a pipe or a device put in its place is never read: it might not end).
void read_file_blocks(const std::string& name, std::size_t block_size,
                      const std::function<void(const char* data, std::size_t size)>& take);

}  // namespace glossek
