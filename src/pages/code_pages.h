// SPDX-License-Identifier: MIT
// DOS (OEM) and Windows (ANSI) code pages. Linux has no system pair of its own, so the
// program carries one-for-one byte tables for every supported combination. A character
// missing from the target page becomes a printable stand-in (never a control byte).
// UTF-8 (65001), which Windows can also run with as its ANSI page, is one more Windows page:
// it has no one-for-one table, but the character of each DOS byte and the DOS byte of
// each character.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace glossek {

inline constexpr int kUtf8Page = 65001;

// One OEM/ANSI pair.
struct CodePagePair {
    int oem = 437;
    int ansi = 1252;
    // The two byte tables (256 entries each); null when the ANSI page is UTF-8.
    const unsigned char* oem_to_ansi = nullptr;
    const unsigned char* ansi_to_oem = nullptr;
    // The entries of each table that are a best fit or '?', not the same character: bit
    // (b & 7) of byte (b >> 3) for byte b. Null: every entry is exact.
    const unsigned char* oem_to_ansi_lossy = nullptr;
    const unsigned char* ansi_to_oem_lossy = nullptr;
    // How each byte of the ANSI page is shown: control bytes as visible symbols. Null when
    // the ANSI page is UTF-8, whose bytes are not characters one by one.
    const char16_t* ansi_display = nullptr;
    // The character of each byte of the OEM page, U+FFFD where the page has none.
    const char16_t* oem_chars = nullptr;
    // The OEM byte of each character of the generated list of fits (see oem_byte_for).
    const unsigned char* oem_fits = nullptr;

    bool utf8() const { return ansi == kUtf8Page; }
};

// The byte of the ANSI page that stands for a character, or -1 when the page lacks it.
// Only for the one-byte pages.
int ansi_byte_for(const CodePagePair& pages, char16_t ch);

// The OEM byte for a Unicode character, as the tables choose it: the same character where
// the page has it, else a best fit (the letter without its accent, '-' '|' '+' for
// box-drawing lines), else '?'. Control characters (below U+0020 and U+007F) are the bytes
// themselves; no other character gives a control byte.
unsigned char oem_byte_for(const CodePagePair& pages, char32_t ch);
// The same for every character of the Basic Multilingual Plane at once: 65536 entries.
void oem_bytes_for_bmp(const CodePagePair& pages, unsigned char* table);

// A page that is no supported page of its kind, or a kept pair that is none. what() says it
// in English; the program's messages say it in the language in force from the parts.
class CodePageError : public std::runtime_error {
public:
    enum class Kind {
        Dos,       // `given` is no supported DOS page
        Windows,   // `given` is no supported Windows page
        Pair,      // `given` is not a DOS page and a Windows page
        TooLarge,  // a file that should hold one such line is larger than 1 KiB
    };
    // `given` as it was given (at most the first kQuotedBytes of it), `variable` the
    // environment variable that gave it, if any.
    CodePageError(Kind kind, std::string_view given, std::string variable = {});
    Kind kind() const { return kind_; }
    const std::string& given() const { return given_; }
    bool cut() const { return cut_; }  // `given` was longer than kQuotedBytes
    const std::string& variable() const { return variable_; }

    // What a message quotes of a text given.
    static constexpr std::size_t kQuotedBytes = 40;

private:
    Kind kind_;
    std::string given_;
    bool cut_;
    std::string variable_;
};

const std::vector<int>& supported_oem_pages();
const std::vector<int>& supported_ansi_pages();
bool is_supported_oem_page(int page);
bool is_supported_ansi_page(int page);
// The character of each byte of a carried one-byte page (DOS or Windows), U+FFFD where the
// page has none; null for UTF-8 and pages not carried.
const char16_t* page_characters(int page);
// "437, 737, 775": the pages as a message lists them.
std::string page_list(const std::vector<int>& pages);

// Throws CodePageError when either page is not supported.
CodePagePair code_page_pair(int oem, int ansi);

// The pair Windows assigns to a locale name such as "fr_FR.UTF-8", "de_CH", "C", "POSIX", "".
std::pair<int, int> pages_for_locale(std::string_view locale);

// A DOS page and a Windows page, as the user chose them.
struct PageNumbers {
    int oem = 0;
    int ansi = 0;
};

// The pair in force: locale from LC_ALL, then LC_CTYPE, then LANG (first non-empty wins),
// replaced by the pair `kept` in GLK32.CP when there is one, then each page replaced by
// its override GLOSSEK_OEMCP or GLOSSEK_ANSICP (decimal page numbers).
// An override that is set but is not a supported page of its kind (including an empty
// value, blanks or anything but plain digits) throws CodePageError whose what() names the
// variable, the value given and the supported pages of that kind.
// `get` is getenv-like (returns nullptr when unset); the default reads the real environment.
CodePagePair code_pages_from_environment(
    const std::function<const char*(const char*)>& get = nullptr,
    const std::optional<PageNumbers>& kept = std::nullopt);

}  // namespace glossek
