// SPDX-License-Identifier: MIT
#include "files/replaced_file.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "files/temporary_file.h"

namespace glossek {

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";

// A file system that keeps no extended attributes (or no ACL) has none to lose.
bool unsupported(int error_number) {
    return error_number == ENOTSUP || error_number == EOPNOTSUPP;
}

// Every extended attribute of `from` (the POSIX ACL among them) set on `to` as it is.
bool copy_attributes(int from, int to) {
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) {
        return size == 0 || unsupported(errno);
    }
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size < 0) {
        return false;
    }
    std::vector<char> value;
    for (std::size_t at = 0; at < static_cast<std::size_t>(size);) {
        const char* name = names.data() + at;
        at += std::char_traits<char>::length(name) + 1;
        ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0) {
            return false;
        }
        value.resize(static_cast<std::size_t>(length));
        length = ::fgetxattr(from, name, value.data(), value.size());
        if (length < 0 ||
            ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(length), 0) != 0) {
            return false;
        }
    }
    return true;
}

// Blocks of this size go from file to file in a copy in place.
constexpr std::size_t kCopyBlock = 256 * 1024;

// The whole of `from` written over `to` from its start (nothing is cut).
CopyFailure copy_all(int from, int to) {
    std::vector<char> block(kCopyBlock);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(from, block.data(), block.size(), offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {errno, true};
        }
        if (got == 0) {
            return {};
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(to, block.data() + done,
                                         static_cast<std::size_t>(got - done), offset + done);
            if (put < 0 && errno != EINTR) {
                return {errno, false};
            }
            done += put < 0 ? 0 : put;
        }
        offset += got;
    }
}

// `from` copied over `to`, cut to `size` and flushed to the disk.
CopyFailure rewrite(int from, int to, off_t size) {
    CopyFailure failure = copy_all(from, to);
    if (failure.error_number == 0 && ::ftruncate(to, size) != 0) {
        failure = {errno, false};
    }
    if (failure.error_number == 0 && ::fsync(to) != 0) {
        failure = {errno, false};
    }
    return failure;
}

CopyFailure copy_keeping_old(int from, int to, const std::string& near) {
    struct stat old {};
    struct stat fresh {};
    if (::fstat(to, &old) != 0 || ::fstat(from, &fresh) != 0) {
        return {errno, true};
    }
    std::string backup_name;
    int slot = -1;
    const int backup = create_temporary(near, 0600, backup_name, slot);
    if (backup < 0) {
        return {errno, false};
    }
    CopyFailure failure = copy_all(to, backup);
    if (failure.error_number == 0 && ::fsync(backup) != 0) {
        failure = {errno, false};
    }
    if (failure.error_number == 0) {
        failure = rewrite(from, to, fresh.st_size);
        if (failure.error_number != 0 && rewrite(backup, to, old.st_size).error_number != 0) {
            // The old content is whole in the copy alone: it stays.
            ::close(backup);
            release_cleanup_slot(slot);
            return failure;
        }
    }
    ::close(backup);
    ::unlink(backup_name.c_str());
    release_cleanup_slot(slot);
    return failure;
}

}  // namespace

bool give_attributes(int fd, int old_fd, const struct stat& old) {
    // Root may give any owner; a user keeps their own and may give a group of theirs.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    // A new file takes the folder's default ACL: only the old file's, or none, may stay.
    if (::fremovexattr(fd, kAccessAcl) != 0 && errno != ENODATA && !unsupported(errno)) {
        return false;
    }
    // The bits before the ACL, whose mask they would otherwise change.
    if (::fchmod(fd, old.st_mode & 07777) != 0 || !copy_attributes(old_fd, fd)) {
        return false;
    }
    // The system may drop what it will not give (a set-group-ID bit of another's group).
    struct stat now {};
    return ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

CopyFailure copy_in_place(int from, int to, const std::string& near) {
    hold_signals();
    const CopyFailure failure = copy_keeping_old(from, to, near);
    release_signals();
    return failure;
}

std::string temporary_folder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : std::string("/tmp");
}

}  // namespace glossek
