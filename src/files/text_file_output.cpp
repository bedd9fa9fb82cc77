// SPDX-License-Identifier: MIT
// The writing side of text files: blocks written out whole, and an output that replaces the
// file of its name only once it is complete and on the disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "files/temporary_file.h"
#include "files/text_file.h"

namespace glossek {

namespace {

// Written data is handed to the disk in steps of this size while the file is written, so
// that the fsync at close() has only the last step left to wait for.
constexpr std::uint64_t kWriteBehind = 8 * 1024 * 1024;

}  // namespace

void TextLineFile::open_direct(const std::string& name) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        fail(errno, true);
    }
    fd_ = fd;
}

void TextLineFile::open_temporary(const std::string& target, const struct stat* old) {
    if (old != nullptr) {
        // A file the user may not write is refused, even though its folder would let it be
        // replaced.
        int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0) {
            fail(errno, true);
        }
        ::close(probe);
    }
    for (unsigned attempt = 0;; ++attempt) {
        std::string name = temporary_name(target, attempt);
        // Known to the signal handler before it exists, so it is never left behind.
        cleanup_slot_ = claim_cleanup_slot(name);
        // 0666 and the umask (and the folder's default ACL), as for any new file.
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = std::move(name);
            target_ = target;
            break;
        }
        const int error_number = errno;
        release_cleanup_slot(cleanup_slot_);
        if (error_number != EEXIST || attempt >= 100) {
            fail(error_number, true);
        }
    }
    written_ = flushed_ = 0;
    if (old != nullptr) {
        // The owner where the system allows it (root), then the permission bits.
        if (::fchown(fd_, old->st_uid, old->st_gid) != 0) {
            // Not the owner's to give away: the file becomes the user's, as a new one would.
        }
        if (::fchmod(fd_, old->st_mode & 07777) != 0) {
            const int error_number = errno;
            release();
            fail(error_number, true);
        }
    }
}

void TextLineFile::flush_buffer() {
    write_out(fill_);
}

void TextLineFile::write_out(std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd_, buffer_.data() + done, size - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Nothing is retried, and the file ends here: its temporary file is removed, so
            // that nothing can later put an incomplete file in place of the old one.
            const int error_number = errno;
            release();
            fail(error_number, true);
        }
        done += static_cast<std::size_t>(put);
    }
    written_ += size;
    if (fill_ > size) {
        std::memmove(buffer_.data(), buffer_.data() + size, fill_ - size);
    }
    fill_ -= size;
    if (!temporary_.empty() && written_ - flushed_ >= kWriteBehind) {
        // Started now, in the background; a failure shows at the fsync of close().
        ::sync_file_range(fd_, static_cast<off_t>(flushed_),
                          static_cast<off_t>(written_ - flushed_), SYNC_FILE_RANGE_WRITE);
        flushed_ = written_;
    }
}

void TextLineFile::write_text(std::string_view text) {
    require(State::Writing, kNotOpenForWriting);
    while (!text.empty()) {
        if (fill_ >= kBlockSize) {
            write_out(kBlockSize);
        }
        std::size_t part = std::min(kBlockSize - fill_, text.size());
        std::memcpy(buffer_.data() + fill_, text.data(), part);
        fill_ += part;
        text.remove_prefix(part);
    }
}

TextLineFile::Room TextLineFile::write_room(std::size_t minimum) {
    require(State::Writing, kNotOpenForWriting);
    if (fill_ >= kBlockSize) {
        write_out(kBlockSize);
    }
    if (buffer_.size() - fill_ < minimum) {
        flush_buffer();
    }
    return {buffer_.data() + fill_, buffer_.size() - fill_};
}

void TextLineFile::end_line() {
    write_text("\r\n");
}

void TextLineFile::close() {
    if (state_ == State::Closed) {
        throw TextIoError(kNotOpen, name_);
    }
    if (state_ == State::Reading) {
        const int fd = fd_;
        fd_ = -1;
        release();
        if (::close(fd) != 0 && errno != EINTR) {
            fail(errno, false);
        }
        return;
    }
    // Any failure below leaves the file of that name untouched: release() removes the
    // temporary file, which is renamed only as the very last step.
    flush_buffer();  // on failure the file is already ended
    int error_number = 0;
    if (!temporary_.empty() && ::fsync(fd_) != 0) {
        error_number = errno;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR && error_number == 0) {
        error_number = errno;
    }
    if (error_number == 0 && !temporary_.empty() &&
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_number = errno;
    }
    if (error_number != 0) {
        release();
        fail(error_number, true);
    }
    release_cleanup_slot(cleanup_slot_);
    temporary_.clear();
    target_.clear();
    release();
}

}  // namespace glossek
