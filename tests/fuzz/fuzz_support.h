// SPDX-License-Identifier: MIT
// What the fuzz targets share: a scratch file per process and a check that stops the run.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace glossek::fuzz {

// A file of this process in the temporary folder, removed when the process ends normally.
class ScratchFile {
public:
    explicit ScratchFile(const char* tag) {
        const char* dir = std::getenv("TMPDIR");
        name_ = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/glossek-fuzz-" +
                std::to_string(::getpid()) + "-" + tag;
    }
    ~ScratchFile() { std::remove(name_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& name() const { return name_; }
    void write(std::string_view bytes) const {
        std::FILE* file = std::fopen(name_.c_str(), "wb");
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
            std::fclose(file) != 0) {
            std::perror(name_.c_str());
            std::abort();
        }
    }

private:
    std::string name_;
};

// A broken property is a crash for libFuzzer and a failed test for the replay program.
inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

}  // namespace glossek::fuzz
