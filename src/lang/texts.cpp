// SPDX-License-Identifier: MIT
#include "lang/texts.h"

#include <array>
#include <cstdint>

#include "files/file_names.h"
#include "files/text_file.h"
#include "lang/language_tables.h"

namespace glossek {

namespace {

// Code points of CP1252 bytes 0x80 to 0x9F; 0 where the byte is undefined.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t code_point_of(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        std::uint16_t cp = kHighControls[byte - 0x80];
        return cp != 0 ? cp : byte;
    }
    return byte;
}

void append_utf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

LanguageTexts language_texts(std::string_view code) {
    // Each language made the first time it is asked for: a run in one language never makes
    // the other's.
    if (code == kLanguageFrench) {
        static const LanguageTexts french = french_texts();
        return french;
    }
    static const LanguageTexts english = english_texts();
    return english;
}

std::string corrected_language_code(std::string_view code) {
    return std::string(code == kLanguageFrench ? kLanguageFrench : kLanguageEnglish);
}

std::string read_language_code(const std::string& file_name) {
    if (!file_exists(file_name)) {
        return std::string(kLanguageEnglish);
    }
    TextLineFile file;
    file.open_read(file_name);
    std::string code = file.read_field(2);
    file.skip_line();
    file.close();
    return code;
}

void write_language_file(const std::string& file_name, std::string_view code) {
    TextLineFile file;
    file.open_write(file_name);
    file.write_text(code);
    file.end_line();
    file.close();
}

std::string cp1252_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string utf8_to_cp1252(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
            cp = lead & 0x07;
        } else if (lead >= 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += length;
        char byte = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
            byte = static_cast<char>(cp);
        } else {
            for (std::size_t k = 0; k < kHighControls.size(); ++k) {
                if (kHighControls[k] == cp) {
                    byte = static_cast<char>(0x80 + k);
                }
            }
        }
        out += byte;
    }
    return out;
}

}  // namespace glossek
