// DOS (OEM) and Windows (ANSI) code pages. Linux has no system pair of its own, so the
// program carries one-for-one byte tables for every supported combination. A character
// missing from the target page becomes a printable stand-in (never a control byte).
#pragma once

#include <functional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace glossek {

// One OEM/ANSI pair with its two byte tables (256 entries each, never null).
struct CodePagePair {
    int oem = 437;
    int ansi = 1252;
    const unsigned char* oem_to_ansi = nullptr;
    const unsigned char* ansi_to_oem = nullptr;
    // How each byte of the ANSI page is shown: control bytes as visible symbols.
    const char16_t* ansi_display = nullptr;
};

// The byte of the ANSI page that stands for a character, or -1 when the page lacks it.
int ansi_byte_for(const CodePagePair& pages, char16_t ch);

class CodePageError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

const std::vector<int>& supported_oem_pages();
const std::vector<int>& supported_ansi_pages();

// Throws CodePageError when either page is not supported.
CodePagePair code_page_pair(int oem, int ansi);

// The pair Windows assigns to a locale name such as "fr_FR.UTF-8", "de_CH", "C", "POSIX", "".
std::pair<int, int> pages_for_locale(std::string_view locale);

// The pair in force: locale from LC_ALL, then LC_CTYPE, then LANG (first non-empty wins),
// then the overrides GLOSSEK_OEMCP and GLOSSEK_ANSICP (decimal page numbers).
// An override that is set but is not a supported page of its kind (including an empty
// value, blanks or anything but plain digits) throws CodePageError whose what() names the
// variable, the value given and the supported pages of that kind.
// `get` is getenv-like (returns nullptr when unset); the default reads the real environment.
CodePagePair code_pages_from_environment(
    const std::function<const char*(const char*)>& get = nullptr);

}  // namespace glossek
