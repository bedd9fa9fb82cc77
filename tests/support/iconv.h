// SPDX-License-Identifier: MIT
// glibc's iconv as the reference the code page tables are held against.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace glossek::test {

// One conversion at a time, from a fresh state; nullopt when iconv refuses the input (a
// character with no place in the target, or an ill-formed sequence). The final flush
// matters: glibc's CP1255 and CP1258 hold a character back in case a combining mark follows.
class Iconv {
public:
    Iconv(const std::string& from, const std::string& to) {
        cd_ = iconv_open(to.c_str(), from.c_str());
        EXPECT_NE(cd_, reinterpret_cast<iconv_t>(-1)) << from << " -> " << to;
    }
    // Code pages by number; 0 is UTF-32LE, 65001 UTF-8.
    Iconv(int from, int to) : Iconv(name(from), name(to)) {}
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    std::optional<std::string> convert(std::string_view text) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string in(text);
        char* in_ptr = in.data();
        std::size_t in_left = in.size();
        char out[64];
        char* out_ptr = out;
        std::size_t out_left = sizeof out;
        if (iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
            iconv(cd_, nullptr, nullptr, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(out, out_ptr);
    }
    std::optional<std::string> convert(unsigned char byte) {
        return convert(std::string_view(reinterpret_cast<const char*>(&byte), 1));
    }

    static std::string name(int page) {
        return page == 0 ? "UTF-32LE" : page == 65001 ? "UTF-8" : "CP" + std::to_string(page);
    }

private:
    iconv_t cd_;
};

}  // namespace glossek::test
