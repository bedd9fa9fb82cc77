// SPDX-License-Identifier: MIT
// File names as the file system spells them: what they name, how they relate, and the
// refusals that come from a name alone.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace glossek {

// True when the name denotes an existing entry that is not a folder.
bool file_exists(const std::string& name);

bool is_folder(const std::string& name);

// True when the two names are the same string (two empty names included), or both name an
// existing entry and it is the same one (same device and inode, links followed): another
// spelling, a symbolic or a hard link.
bool same_file(const std::string& first, const std::string& second);

// The folder part of a name ("." when it has none, "/" for a name in the root) and the
// part after the last "/".
std::string parent_folder(const std::string& name);
std::string last_component(const std::string& name);

// A relative name made absolute against `folder`; empty and absolute names are kept, and so
// is every name when `folder` is empty.
std::string absolute_name(const std::string& name, const std::string& folder);

// Every existing file under `base` (a prefix ending with "/") whose path matches `relative`
// without regard to case, component by component; sorted.
std::vector<std::string> matches_ignoring_case(const std::string& base,
                                               const std::string& relative);

// A name that matches several files without regard to case: none of them is taken.
class AmbiguousName : public std::runtime_error {
public:
    AmbiguousName(std::string file, std::vector<std::string> matches);
    const std::string& file() const { return file_; }
    const std::vector<std::string>& matches() const { return matches_; }

private:
    std::string file_;
    std::vector<std::string> matches_;
};

// A relative name when the folder the program was started from cannot be known (deleted,
// or a path too long): it would otherwise mean some other folder.
class FolderUnknownError : public std::runtime_error {
public:
    explicit FolderUnknownError(std::string file);
    const std::string& file() const { return file_; }

private:
    std::string file_;
};

}  // namespace glossek
