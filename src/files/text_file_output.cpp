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

#include "files/file_names.h"
#include "files/replaced_file.h"
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

int TextLineFile::open_old(const std::string& target, bool& readable) const {
    // A file the user may not write is refused, even though its folder would let it be
    // replaced.
    readable = true;
    int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 && errno == EACCES) {
        readable = false;
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    }
    if (fd < 0) {
        fail(errno, true);
    }
    return fd;
}

void TextLineFile::open_temporary(const std::string& target, const struct stat* old) {
    bool readable = false;
    const int old_fd = old != nullptr ? open_old(target, readable) : -1;
    // A new file gets 0666 and the umask (and the folder's default ACL); one that replaces
    // another is the user's alone until it is given the old one's attributes.
    const unsigned mode = old != nullptr ? 0600 : 0666;
    fd_ = create_temporary(target, mode, temporary_, cleanup_slot_);
    bool in_place = false;
    if (fd_ < 0 && old != nullptr && (errno == EACCES || errno == EPERM)) {
        // A folder the user may not write, around a file they may: written in place.
        fd_ = create_temporary(temporary_folder() + "/" + last_component(target), 0600, temporary_,
                               cleanup_slot_);
        in_place = true;
    }
    if (fd_ < 0) {
        const int error_number = errno;
        if (old_fd >= 0) {
            ::close(old_fd);
        }
        fail_on(target, error_number, true);
    }
    target_ = target;
    written_ = flushed_ = 0;
    if (old != nullptr && !in_place) {
        in_place = old->st_nlink > 1 || !give_attributes(fd_, old_fd, *old);
    }
    if (!in_place) {
        if (old_fd >= 0) {
            ::close(old_fd);
        }
        return;
    }
    in_place_fd_ = old_fd;
    if (!readable) {
        // Its old content could not be kept while it is rewritten.
        release();
        fail(EACCES, true);
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
    flush_buffer();  // on failure the file is already ended
    if (in_place_fd_ >= 0) {
        close_in_place();
    } else {
        close_renaming();
    }
}

// Any failure leaves the file of that name untouched: release() removes the temporary file,
// which is renamed only as the very last step.
void TextLineFile::close_renaming() {
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

// The complete result goes into the file itself; its old content is put back on a failure.
void TextLineFile::close_in_place() {
    const CopyFailure failure =
        copy_in_place(fd_, in_place_fd_, parent_folder(temporary_) + "/" + last_component(target_));
    release();  // the temporary file removed, the file closed
    if (failure.error_number != 0) {
        fail(failure.error_number, !failure.reading);
    }
}

}  // namespace glossek
