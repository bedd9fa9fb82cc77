// SPDX-License-Identifier: MIT
#include "lang/readings.h"

#include "lang/messages.h"
#include "pages/page_model.h"

namespace glossek {

namespace {

std::string line_ends_text(const FileReading& reading, const LanguageTexts& texts) {
    const int kinds =
        (reading.crlf > 0 ? 1 : 0) + (reading.lf > 0 ? 1 : 0) + (reading.cr > 0 ? 1 : 0);
    if (kinds == 0) {
        return texts.lng_ends_none;
    }
    if (kinds > 1) {
        return texts.lng_ends_mixed;
    }
    return reading.crlf > 0 ? texts.lng_ends_crlf
           : reading.lf > 0 ? texts.lng_ends_lf
                            : texts.lng_ends_cr;
}

std::string lines_text(std::uint64_t lines, const LanguageTexts& texts) {
    return lines == 1 ? texts.lng_line_one
                      : fill_in(texts.lng_lines, "%n", grouped_number(lines, texts));
}

}  // namespace

std::string kind_text(const FileReading& reading, const LanguageTexts& texts) {
    switch (reading.reading) {
        case Reading::Dos:
            return fill_in(texts.lng_kind_dos, "%p", std::to_string(reading.page));
        case Reading::Windows:
            return fill_in(texts.lng_kind_windows, "%p", std::to_string(reading.page));
        case Reading::Utf8:
            return texts.lng_kind_utf8;
        case Reading::Ascii:
            return texts.lng_kind_ascii;
        case Reading::Binary:
            return texts.lng_kind_binary;
        case Reading::Empty:
        case Reading::Unsure:
            break;
    }
    return {};
}

std::string reading_text(const FileReading& reading, const CodePagePair& pages,
                         const LanguageTexts& texts) {
    if (reading.reading == Reading::Empty) {
        return texts.lng_reads_empty;
    }
    std::string text;
    if (reading.suggestion != 0) {
        text = fill_in(fill_in(texts.lng_reads_neither, "%o", std::to_string(pages.oem)), "%w",
                       std::to_string(pages.ansi)) +
               ", " + fill_in(texts.lng_reads_better, "%s", page_name(reading.suggestion));
    } else if (reading.reading == Reading::Unsure) {
        text = texts.lng_reads_unsure;
    } else {
        text = fill_in(texts.lng_reads_as, "%k", kind_text(reading, texts));
    }
    if (reading.reading == Reading::Binary) {
        return text;
    }
    return text + ", " + line_ends_text(reading, texts) + ", " + lines_text(reading.lines, texts);
}

std::string harm_question(const FileReading& reading, const LanguageTexts& texts) {
    return reading.reading == Reading::Binary
               ? texts.lng_convert_binary
               : fill_in(texts.lng_convert_anyway, "%k", kind_text(reading, texts));
}

std::string target_text(const FileReading& reading, const LanguageTexts& texts) {
    return fill_in(texts.lng_input_reads_as, "%k", kind_text(reading, texts));
}

std::string page_name(int page) {
    return (is_supported_oem_page(page) ? "DOS " : "Windows ") + std::to_string(page);
}

PageNumbers suggested_pair(int page, const CodePagePair& pages) {
    if (is_supported_oem_page(page)) {
        return {page, pages.utf8() ? kUtf8Page : partner_page(page)};
    }
    return {partner_page(page), page};
}

}  // namespace glossek
