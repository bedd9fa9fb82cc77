// SPDX-License-Identifier: MIT
#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <utility>

#include "files/file_names.h"
#include "files/temporary_file.h"

namespace glossek {

namespace {

constexpr char kCr = '\x0D';
constexpr char kLf = '\x0A';
constexpr char kCtrlZ = '\x1A';

// Files this process holds open for reading, by device and inode. Linux has no share
// modes; this is the one that matters: never replace a file while it is being read.
class ReadRegistry {
public:
    void add(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        open_.insert({dev, ino});
    }
    void remove(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        auto it = open_.find({dev, ino});
        if (it != open_.end()) {
            open_.erase(it);
        }
    }
    bool contains(unsigned long long dev, unsigned long long ino) {
        std::lock_guard lock(mutex_);
        return open_.count({dev, ino}) > 0;
    }

private:
    std::mutex mutex_;
    std::multiset<std::pair<unsigned long long, unsigned long long>> open_;
};

ReadRegistry& read_registry() {
    static ReadRegistry registry;
    return registry;
}

}  // namespace

TextLineFile::~TextLineFile() {
    release();
}

void TextLineFile::fail(int error_number, bool writing) const {
    fail_on(name_, error_number, writing);
}

void TextLineFile::fail_on(const std::string& path, int error_number, bool writing) const {
    throw TextIoError(error_code_of(error_number, path, writing), name_, error_number);
}

void TextLineFile::require(State wanted, int code) const {
    if (state_ != wanted) {
        throw TextIoError(code, name_);
    }
}

void TextLineFile::remove_temporary() {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        release_cleanup_slot(cleanup_slot_);
        temporary_.clear();
        target_.clear();
    }
}

void TextLineFile::release() {
    if (registered_) {
        read_registry().remove(device_, inode_);
        registered_ = false;
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    if (in_place_fd_ >= 0) {
        ::close(in_place_fd_);  // untouched unless close() copied into it
    }
    in_place_fd_ = -1;
    // Never renamed here: only close() knows that the file is complete.
    remove_temporary();
    state_ = State::Closed;
    pos_ = fill_ = 0;
    data_ended_ = false;
    nul_known_ = false;
    block_start_ = 0;
    block_bytes_ = 0;
    carry_ = std::string();  // a line of any size may have been held there
    line_limit_ = std::string::npos;
}

void TextLineFile::open_read(const std::string& name) {
    release();
    name_ = name;
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(errno, false);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int error_number = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        fail(error_number, false);
    }
    fd_ = fd;
    // Only a regular file can be replaced under the reader's feet: /dev/null or a pipe read
    // and written at once is no loss.
    if (S_ISREG(st.st_mode)) {
        device_ = st.st_dev;
        inode_ = st.st_ino;
        read_registry().add(device_, inode_);
        registered_ = true;
        size_at_open_ = static_cast<std::uint64_t>(st.st_size);
    }
    state_ = State::Reading;
    buffer_.resize(kBlockSize);
}

void TextLineFile::open_write(const std::string& name) {
    release();
    name_ = name;
    struct stat st {};
    const bool exists = ::stat(name.c_str(), &st) == 0;
    if (exists && S_ISREG(st.st_mode) && read_registry().contains(st.st_dev, st.st_ino)) {
        throw TextIoError(kSharingViolation, name_);
    }
    if (exists && S_ISDIR(st.st_mode)) {
        fail(EISDIR, true);
    }
    if (exists && !S_ISREG(st.st_mode)) {
        open_direct(name);
    } else if (name.empty() || name.back() == '/') {
        fail(name.empty() ? ENOENT : EISDIR, true);
    } else {
        const WriteTarget target = write_target(name);
        if (target.endless) {
            fail(ELOOP, true);
        }
        if (target.in_place) {
            open_direct(name);
        } else {
            open_temporary(target.path, exists ? &st : nullptr);
        }
    }
    state_ = State::Writing;
    buffer_.resize(kBlockSize + kWriteSlack);
}

bool TextLineFile::fill_buffer() {
    if (data_ended_) {
        return false;
    }
    block_start_ += block_bytes_;
    block_bytes_ = 0;
    pos_ = fill_ = 0;
    top_up();
    return fill_ > 0;
}

bool TextLineFile::top_up() {
    if (data_ended_ || fill_ >= buffer_.size()) {
        return false;
    }
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.data() + fill_, buffer_.size() - fill_);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(errno, false);
    }
    if (got == 0) {
        data_ended_ = true;
        check_whole();
        return false;
    }
    // The first Ctrl-Z ends the data exactly like the physical end of the file.
    const char* added = buffer_.data() + fill_;
    block_bytes_ += static_cast<std::size_t>(got);
    nul_known_ = false;
    if (const void* z = std::memchr(added, kCtrlZ, static_cast<std::size_t>(got))) {
        fill_ = static_cast<std::size_t>(static_cast<const char*>(z) - buffer_.data());
        data_ended_ = true;
    } else {
        fill_ += static_cast<std::size_t>(got);
    }
    return true;
}

void TextLineFile::check_whole() const {
    // Another program cut the file short while it was read: what was read is no longer the
    // file, and a conversion of it would be silently partial.
    struct stat st {};
    if (registered_ && block_start_ + block_bytes_ < size_at_open_ && ::fstat(fd_, &st) == 0 &&
        static_cast<std::uint64_t>(st.st_size) < size_at_open_) {
        throw TextIoError(kInputChanged, name_);
    }
}

bool TextLineFile::at_block_end() {
    require(State::Reading, kNotOpenForReading);
    return pos_ == fill_ && !fill_buffer();
}

void TextLineFile::read_line(std::string& line) {
    read_line(line, std::string::npos);
}

bool TextLineFile::read_line(std::string& line, std::size_t limit) {
    require(State::Reading, kNotOpenForReading);
    line.clear();
    while (pos_ < fill_ || fill_buffer()) {
        const char* start = buffer_.data() + pos_;
        const void* cr = std::memchr(start, kCr, fill_ - pos_);
        const std::size_t size =
            cr == nullptr ? fill_ - pos_
                          : static_cast<std::size_t>(static_cast<const char*>(cr) - start);
        if (size > limit - line.size()) {
            const std::size_t part = limit - line.size();
            line.append(start, part);
            pos_ += part;
            return false;
        }
        line.append(start, size);
        pos_ += size;
        if (cr == nullptr) {
            continue;
        }
        ++pos_;
        if ((pos_ < fill_ || fill_buffer()) && buffer_[pos_] == kLf) {
            ++pos_;
        }
        return true;
    }
    return true;
}

std::string_view TextLineFile::next_line_part(bool& ended) {
    require(State::Reading, kNotOpenForReading);
    ended = false;
    if (pos_ == fill_ && !fill_buffer()) {
        ended = true;
        return {};
    }
    const char* start = buffer_.data() + pos_;
    const auto* cr = static_cast<const char*>(std::memchr(start, kCr, fill_ - pos_));
    if (cr == nullptr) {
        const std::size_t size = fill_ - pos_;
        pos_ = fill_;
        return {start, size};
    }
    const auto size = static_cast<std::size_t>(cr - start);
    if (cr + 1 == buffer_.data() + fill_) {
        if (size > 0) {
            // The text now, the CR at the next call: looking for its LF refills the block.
            pos_ += size;
            return {start, size};
        }
        skip_line();
        ended = true;
        return {};
    }
    pos_ += size + (cr[1] == kLf ? 2 : 1);
    ended = true;
    return {start, size};
}

bool TextLineFile::whole_lines(std::string_view& lines, std::size_t& count, LineScan scan) {
    if (state_ != State::Reading) {
        return false;
    }
    const char* start = buffer_.data() + pos_;
    const std::size_t size = find_whole_lines(start, fill_ - pos_, count, scan);
    if (size == 0) {
        return false;
    }
    pos_ += size;
    lines = {start, size};
    return true;
}

bool TextLineFile::skip_prefix(std::string_view prefix) {
    if (at_end()) {
        return false;
    }
    // A pipe may bring the prefix in several reads: the block is topped up while what it
    // holds is the prefix's start.
    while (fill_ - pos_ < prefix.size() &&
           std::string_view(buffer_.data() + pos_, fill_ - pos_) ==
               prefix.substr(0, fill_ - pos_) &&
           top_up()) {
    }
    if (fill_ - pos_ < prefix.size() ||
        std::string_view(buffer_.data() + pos_, prefix.size()) != prefix) {
        return false;
    }
    pos_ += prefix.size();
    return true;
}

std::string_view TextLineFile::line_across_blocks(bool stop_at_nul) {
    if (!read_line(carry_, line_limit_)) {
        throw std::bad_alloc();
    }
    if (stop_at_nul) {
        carry_.resize(std::min(carry_.size(), carry_.find('\0')));
    }
    return carry_;
}

std::string TextLineFile::read_line() {
    std::string line;
    read_line(line);
    return line;
}

std::string TextLineFile::read_field(int width) {
    require(State::Reading, kNotOpenForReading);
    std::string field;
    const auto wanted = static_cast<std::size_t>(std::clamp(width, 0, 255));
    while (field.size() < wanted && (pos_ < fill_ || fill_buffer())) {
        if (buffer_[pos_] == kCr) {
            break;
        }
        field += buffer_[pos_++];
    }
    return field;
}

void TextLineFile::skip_line() {
    require(State::Reading, kNotOpenForReading);
    while (pos_ < fill_ || fill_buffer()) {
        const char* start = buffer_.data() + pos_;
        const void* cr = std::memchr(start, kCr, fill_ - pos_);
        if (cr == nullptr) {
            pos_ = fill_;
            continue;
        }
        pos_ += static_cast<std::size_t>(static_cast<const char*>(cr) - start) + 1;
        if ((pos_ < fill_ || fill_buffer()) && buffer_[pos_] == kLf) {
            ++pos_;
        }
        return;
    }
}

void TextLineFile::abandon() {
    release();
}

CloseOnExit::~CloseOnExit() {
    // The command has already failed: its first error is the one reported, and a file
    // being written is removed rather than left incomplete under its name.
    file_.abandon();
}

}  // namespace glossek
