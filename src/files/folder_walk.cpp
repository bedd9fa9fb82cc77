// SPDX-License-Identifier: MIT
#include "files/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace glossek {

FolderWalk::FolderWalk(std::string root) : root_(std::move(root)) {
    if (root_.empty() || root_.back() != '/') {
        root_ += '/';
    }
    // A root that cannot be read leaves nothing to walk; the caller has looked at it first.
    enter("");
}

bool FolderWalk::enter(const std::string& relative) {
    DIR* dir = ::opendir((root_ + relative).c_str());
    if (dir == nullptr) {
        return false;
    }
    Level level;
    level.relative = relative;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            level.names.push_back(name);
        }
    }
    const int error_number = errno;
    ::closedir(dir);
    if (error_number != 0) {
        errno = error_number;
        return false;
    }
    std::sort(level.names.begin(), level.names.end());
    levels_.push_back(std::move(level));
    return true;
}

bool FolderWalk::next(FolderEntry& entry) {
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.names.size()) {
            levels_.pop_back();
            continue;
        }
        const std::string relative =
            (level.relative.empty() ? "" : level.relative + "/") + level.names[level.next++];
        struct stat st {};
        if (::lstat((root_ + relative).c_str(), &st) != 0) {
            // Gone since the folder was read: reported as a file that cannot be read.
            entry = {relative, FolderEntry::Kind::File, 0, 0};
            return true;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!enter(relative)) {
                entry = {relative, FolderEntry::Kind::Unreadable, 0, errno};
                return true;
            }
            continue;
        }
        const FolderEntry::Kind kind = S_ISREG(st.st_mode)   ? FolderEntry::Kind::File
                                       : S_ISLNK(st.st_mode) ? FolderEntry::Kind::Link
                                                             : FolderEntry::Kind::Other;
        entry = {relative, kind, static_cast<std::uint64_t>(st.st_size), 0};
        return true;
    }
    return false;
}

}  // namespace glossek
