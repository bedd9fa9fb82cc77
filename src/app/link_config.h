// SPDX-License-Identifier: MIT
// The three web and mail links of the Help menu, replaceable through GLK32.CFG.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace glossek {

inline constexpr std::string_view kLinkFileName = "GLK32.CFG";
inline constexpr std::size_t kLinkKeyWidth = 4;
inline constexpr std::size_t kLinkValueWidth = 80;

struct Links {
    std::string auth;  // the author's web page
    std::string glkh;  // the program's web page
    std::string mail;  // a "mailto:" address of the author
};

// The built-in links, each at most 80 bytes.
Links default_links();

// Puts the defaults in place, then reads `file_name` when it exists: each line "AUTH",
// "GLKH" or "MAIL" directly followed by its link (up to 80 bytes, the rest ignored); the
// last line of a key wins, other lines are ignored. Throws TextIoError when the file cannot
// be read, with the links read so far already set.
void read_link_config(const std::string& file_name, Links& links);

}  // namespace glossek
