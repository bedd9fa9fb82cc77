// SPDX-License-Identifier: MIT
#include "app/code_page_setting.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "files/file_error.h"
#include "files/text_file.h"

namespace glossek {

namespace {

// One short line: a larger file is no pair of pages, and is not read whole.
constexpr std::size_t kCodePageFileLimit = 1024;

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Two page numbers with blanks between them and blanks around them; nothing when the text
// is anything else.
std::optional<PageNumbers> parse_pair(std::string_view text) {
    auto number = [&text](int& page) {
        while (!text.empty() && is_blank(text.front())) {
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        while (digits < text.size() && digits < 9 && text[digits] >= '0' && text[digits] <= '9') {
            ++digits;
        }
        if (digits == 0) {
            return false;
        }
        page = std::stoi(std::string(text.substr(0, digits)));
        text.remove_prefix(digits);
        return true;
    };
    PageNumbers pages;
    if (!number(pages.oem) || text.empty() || !is_blank(text.front()) || !number(pages.ansi) ||
        !std::all_of(text.begin(), text.end(), is_blank)) {
        return std::nullopt;
    }
    return pages;
}

}  // namespace

std::optional<PageNumbers> read_code_page_file(const std::string& file_name) {
    struct stat st {};
    if (::stat(file_name.c_str(), &st) != 0) {
        // Nothing there, or in a folder this user may not even look into (another user's
        // home): no pair kept for this user.
        if (errno == ENOENT || errno == ENOTDIR || errno == EACCES) {
            return std::nullopt;
        }
        throw TextIoError(error_code_of(errno, file_name, false), file_name, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        // A folder, or a pipe that might never end: as an unreadable file.
        throw TextIoError(kAccessDenied, file_name, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    TextLineFile file;
    CloseOnExit closer(file);
    file.open_read(file_name);
    std::string line;
    const bool cut = !file.at_end() && !file.read_line(line, kCodePageFileLimit);
    file.close();
    if (cut || static_cast<std::size_t>(st.st_size) > kCodePageFileLimit) {
        throw CodePageError(CodePageError::Kind::TooLarge, line);
    }
    // The line ends at CR (CR LF), at LF alone, or at the end of the file.
    const std::string_view text = std::string_view(line).substr(0, line.find('\n'));
    const std::optional<PageNumbers> pages = parse_pair(text);
    if (!pages || !is_supported_oem_page(pages->oem) || !is_supported_ansi_page(pages->ansi)) {
        throw CodePageError(CodePageError::Kind::Pair, text);
    }
    return pages;
}

void write_code_page_file(const std::string& file_name, PageNumbers pages) {
    TextLineFile file;
    CloseOnExit closer(file);
    file.open_write(file_name);
    file.write_text(std::to_string(pages.oem) + " " + std::to_string(pages.ansi));
    file.end_line();
    file.close();
}

CodePageResolution resolve_code_pages(const std::string& code_page_file,
                                      const std::function<const char*(const char*)>& get) {
    auto lookup = [&get](const char* name) -> const char* {
        return get ? get(name) : std::getenv(name);
    };
    CodePageResolution result;
    std::optional<PageNumbers> kept;
    try {
        kept = read_code_page_file(code_page_file);
    } catch (...) {
        result.file_error = std::current_exception();
    }
    try {
        result.pages = code_pages_from_environment(lookup, kept);
    } catch (const CodePageError& error) {
        result.variable_error = error;
        result.pages = code_pages_from_environment(
            [&lookup](const char* name) -> const char* {
                const std::string_view variable(name);
                return variable == "GLOSSEK_OEMCP" || variable == "GLOSSEK_ANSICP" ? nullptr
                                                                                   : lookup(name);
            },
            kept);
    }
    return result;
}

}  // namespace glossek
