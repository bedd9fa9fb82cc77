// SPDX-License-Identifier: MIT
// The entries of a folder tree, one at a time, depth first, in a fixed order; symbolic links
// are reported, never followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glossek {

struct FolderEntry {
    enum class Kind {
        File,       // a regular file
        Link,       // a symbolic link, to whatever it points to
        Other,      // a device, a pipe, a socket
        Unreadable  // a folder whose entries cannot be read (`error` says why)
    };
    std::string relative;  // below the root, its components joined by "/"
    Kind kind = Kind::File;
    std::uint64_t size = 0;  // of a regular file
    int error = 0;           // an errno value, for Unreadable
};

// Walks the tree below `root`: each folder's entries in the byte order of their names, a
// folder's own entries right after it. Memory grows with the depth of the tree and the
// number of entries of the folders on the way down, not with the whole tree.
class FolderWalk {
public:
    explicit FolderWalk(std::string root);
    // The next entry; false once the tree has been walked.
    bool next(FolderEntry& entry);

private:
    struct Level {
        std::string relative;  // of the folder, "" for the root
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    // The folder's entries, sorted, pushed as a new level; false (with errno) when they
    // cannot be read.
    bool enter(const std::string& relative);

    std::string root_;
    std::vector<Level> levels_;
};

}  // namespace glossek
