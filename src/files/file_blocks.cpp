// SPDX-License-Identifier: MIT
#include "files/file_blocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/file_error.h"

namespace glossek {

void read_file_blocks(const std::string& name, std::size_t block_size,
                      const std::function<void(const char* data, std::size_t size)>& take) {
    // Not blocking on the open: a name that became a pipe would wait for a writer.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error_number = errno;
        throw TextIoError(error_code_of(error_number, name, false), name, error_number);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        throw TextIoError(kNotRegularFile, name);
    }
    // One buffer a thread, kept: a folder run reads thousands of files, each once.
    thread_local std::vector<char> block;
    if (block.size() < block_size) {
        block.resize(block_size);
    }
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block_size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error_number = errno;
            throw TextIoError(kDiskReadError, name, error_number);
        }
        if (got == 0) {
            return;
        }
        take(block.data(), static_cast<std::size_t>(got));
    }
}

}  // namespace glossek
