// SPDX-License-Identifier: MIT
#include "app/code_page_setting.h"

#include <cstdlib>

#include "files/file_names.h"
#include "files/text_file.h"

namespace glossek {

std::optional<PageNumbers> read_code_page_file(const std::string& file_name) {
    if (!file_exists(file_name)) {
        return std::nullopt;
    }
    TextLineFile file;
    CloseOnExit closer(file);
    file.open_read(file_name);
    const std::string line = file.at_end() ? std::string() : file.read_line();
    file.close();
    // Two page numbers and a blank between them; blanks around them are forgiven.
    std::string_view text(line);
    auto number = [&text](int& page) {
        while (!text.empty() && text.front() == ' ') {
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
    const bool two_numbers = number(pages.oem) && !text.empty() && text.front() == ' ' &&
                             number(pages.ansi) &&
                             text.find_first_not_of(' ') == std::string_view::npos;
    if (!two_numbers || !is_supported_oem_page(pages.oem) || !is_supported_ansi_page(pages.ansi)) {
        throw CodePageError("'" + line + "' is not a DOS code page and a Windows code page; " +
                            "supported DOS: " + page_list(supported_oem_pages()) +
                            "; Windows: " + page_list(supported_ansi_pages()));
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
