// SPDX-License-Identifier: MIT
// The pair of code pages in force: chosen in the window and kept in a side file, or given
// by the environment. Batch mode and the window resolve it alike and differ only in how
// they say what went wrong.
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pages/code_pages.h"

namespace glossek {

// The side file that keeps the pair chosen in the window, read at every start.
inline constexpr std::string_view kCodePageFileName = "GLK32.CP";

// The pair kept in the file: one line (ended by CR LF, LF or nothing), the DOS page, blanks,
// the Windows page, blanks around them forgiven. Nothing when the file does not exist.
// Throws TextIoError when it cannot be read (a folder or a pipe of that name included), and
// CodePageError when its line is not a pair of supported pages or the file is larger than
// 1 KiB (read no further).
std::optional<PageNumbers> read_code_page_file(const std::string& file_name);

// Writes the pair as one line ended by CR LF ("850 1252"). Throws TextIoError.
void write_code_page_file(const std::string& file_name, PageNumbers pages);

// The pair in force and what stood in the way of the one asked for.
struct CodePageResolution {
    CodePagePair pages;
    // The file of the kept pair could not be read or holds no pair of supported pages: it is
    // left as it is, and the pair without it is in force (batch mode stops on it, the
    // window goes on with that pair).
    std::exception_ptr file_error;
    // GLOSSEK_OEMCP or GLOSSEK_ANSICP names no supported page (its what() says which and
    // lists the pages): the pair without the variables is in force.
    std::optional<CodePageError> variable_error;
};

// The variables, then the pair kept in `code_page_file`, then the locale (see
// code_pages_from_environment). `get` is getenv-like; the default reads the environment.
CodePageResolution resolve_code_pages(const std::string& code_page_file,
                                      const std::function<const char*(const char*)>& get = nullptr);

}  // namespace glossek
