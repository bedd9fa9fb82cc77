// SPDX-License-Identifier: MIT
#include "files/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>
#include <utility>

namespace glossek {

namespace {

char lower_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i])) {
            return false;
        }
    }
    return true;
}

// Enough for any folder a person made; a search that finds more stops growing there.
constexpr std::size_t kMostMatches = 64;

// The entries of `folder` (a prefix ending with "/") whose names match `component` without
// regard to case, each as folder + name.
void add_matches(const std::string& folder, const std::string& component,
                 std::vector<std::string>& found) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (found.size() < kMostMatches && same_ignoring_case(entry->d_name, component)) {
            found.push_back(folder + entry->d_name);
        }
    }
    ::closedir(dir);
}

}  // namespace

bool file_exists(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool is_folder(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool same_file(const std::string& first, const std::string& second) {
    if (first == second) {
        return true;
    }
    struct stat a {};
    struct stat b {};
    return !first.empty() && !second.empty() && ::stat(first.c_str(), &a) == 0 &&
           ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string parent_folder(const std::string& name) {
    auto slash = name.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : name.substr(0, slash);
}

std::string last_component(const std::string& name) {
    auto slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string absolute_name(const std::string& name, const std::string& folder) {
    if (name.empty() || name.front() == '/' || folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::vector<std::string> matches_ignoring_case(const std::string& base,
                                               const std::string& relative) {
    std::vector<std::string> paths = {base};
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t slash = relative.find('/', start);
        if (slash == std::string::npos) {
            slash = relative.size();
        }
        const std::string component = relative.substr(start, slash - start);
        start = slash + 1;
        if (component.empty()) {
            continue;
        }
        const bool last = relative.find_first_not_of('/', start) == std::string::npos;
        std::vector<std::string> next;
        for (const std::string& path : paths) {
            if (component == "." || component == "..") {
                next.push_back(path + component);
            } else {
                add_matches(path, component, next);
            }
        }
        paths.clear();
        for (std::string& path : next) {
            if (last ? file_exists(path) : is_folder(path)) {
                paths.push_back(last ? path : path + "/");
            }
        }
        if (last) {
            std::sort(paths.begin(), paths.end());
            return paths;
        }
    }
    return {};
}

AmbiguousName::AmbiguousName(std::string file, std::vector<std::string> matches)
    : std::runtime_error(file + ": several files match this name without regard to case"),
      file_(std::move(file)),
      matches_(std::move(matches)) {}

FolderUnknownError::FolderUnknownError(std::string file)
    : std::runtime_error(file + ": a relative name, and the start folder cannot be known"),
      file_(std::move(file)) {}

}  // namespace glossek
