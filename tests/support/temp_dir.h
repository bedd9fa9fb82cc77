// SPDX-License-Identifier: MIT
// A fresh folder per test, removed afterwards, with byte-exact file helpers.
#pragma once

#include <string>
#include <vector>

namespace glossek::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    // The names in `folder` (the folder itself by default), sorted: what a command left.
    std::vector<std::string> names(const std::string& folder = {}) const;

private:
    std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

}  // namespace glossek::test
