// SPDX-License-Identifier: MIT
#include "lang/messages.h"

#include <cstring>
#include <new>

#include "conversion/engine.h"
#include "conversion/replace.h"
#include "files/file_names.h"
#include "files/text_file.h"
#include "table/table_file.h"

namespace glossek {

namespace {

// What the system said, in the current language for the failures users meet, else in the
// system's own words.
std::string system_reason(int error_number, const LanguageTexts& texts) {
    switch (error_number) {
        case ENOSPC:
            return texts.lng_disk_full;
        case EFBIG:
            return texts.lng_file_too_large;
        case EDQUOT:
            return texts.lng_quota_exceeded;
        case EIO:
            return texts.lng_device_error;
        default:
            return error_number > 0 ? std::string(std::strerror(error_number)) : std::string();
    }
}

// The file layer's own words, in the language in force.
std::string file_layer_text(int code, const LanguageTexts& texts) {
    switch (code) {
        case kFileNotFound:
            return texts.lng_file_not_found;
        case kInvalidFileName:
            return texts.lng_invalid_filename;
        case kTooManyOpenFiles:
            return texts.lng_too_many_files;
        case kAccessDenied:
            return texts.lng_access_denied;
        case kInputChanged:
            return texts.lng_input_changed;
        case kInputChangedAfter:
            return texts.lng_input_changed_after;
        default:
            return fill_in(texts.lng_io_error, "%d", std::to_string(code));
    }
}

std::string io_text(const TextIoError& error, const LanguageTexts& texts) {
    if (error.code() == kNotRegularFile) {
        return texts.lng_not_regular;
    }
    if (error.code() != kDiskReadError && error.code() != kDiskWriteError) {
        return error_box_text(file_layer_text(error.code(), texts));
    }
    std::string text =
        error.code() == kDiskReadError ? texts.lng_disk_read_error : texts.lng_disk_write_error;
    const std::string reason = system_reason(error.system_error(), texts);
    if (reason.empty() && text.find("%s") != std::string::npos) {
        // No word from the system: the text up to where its words would go.
        text.erase(text.find("%s"));
        text.erase(text.find_last_not_of(" :") + 1);
        return error_box_text(text);
    }
    return error_box_text(fill_in(text, "%s", reason));
}

std::string table_text(const TableFileError& error, const LanguageTexts& texts) {
    switch (error.reason()) {
        case TableFileError::Reason::NotAKeyword:
            return texts.lng_table_not_keyword;
        case TableFileError::Reason::UnsafeCharSide:
            return texts.lng_table_char_unsafe;
        case TableFileError::Reason::UnreadableCodeSide:
            return fill_in(
                fill_in(texts.lng_table_code_unreadable, "%r", std::to_string(error.row())), "%c",
                std::to_string(error.column()));
        case TableFileError::Reason::BadCode:
            return error_box_text(fill_in(
                fill_in(fill_in(texts.lng_table_bad_code, "%r", std::to_string(error.row())), "%s",
                        error.to_side() ? texts.lng_side_to : texts.lng_side_from),
                "%c", error.code()));
        case TableFileError::Reason::TooLarge:
            break;
    }
    return texts.lng_table_too_large;
}

std::string code_page_text(const CodePageError& error, const LanguageTexts& texts) {
    std::string given = error.given() + (error.cut() ? "..." : "");
    if (!error.variable().empty()) {
        given = error.variable() + "=" + given;
    }
    switch (error.kind()) {
        case CodePageError::Kind::Dos:
        case CodePageError::Kind::Windows: {
            const bool dos = error.kind() == CodePageError::Kind::Dos;
            return fill_in(fill_in(fill_in(texts.lng_page_unsupported, "%g", given), "%k",
                                   dos ? "DOS" : "Windows"),
                           "%l", page_list(dos ? supported_oem_pages() : supported_ansi_pages()));
        }
        case CodePageError::Kind::Pair:
            return fill_in(fill_in(fill_in(texts.lng_page_pair_bad, "%g", given), "%d",
                                   page_list(supported_oem_pages())),
                           "%w", page_list(supported_ansi_pages()));
        case CodePageError::Kind::TooLarge:
            break;
    }
    return fill_in(texts.lng_page_file_too_large, "%g", given);
}

ErrorMessage guard_message(const ReplacementGuardError& guard, const LanguageTexts& texts) {
    using Reason = ReplacementGuardError::Reason;
    const std::string& text = guard.reason() == Reason::Growth ? texts.lng_pair_too_long
                              : guard.reason() == Reason::TableGrowth
                                  ? texts.lng_table_line_too_long
                                  : texts.lng_pair_too_many;
    ErrorMessage message{guard.input(),
                         fill_in(fill_in(fill_in(text, "%p", std::to_string(guard.pair())), "%l",
                                         std::to_string(guard.line())),
                                 "%n", std::to_string(guard.limit())),
                         {}};
    if (!guard.table().empty()) {
        message.text += " " + texts.lng_pair_from_table;
        message.listed.push_back(guard.table());
    }
    return message;
}

// The length of the valid UTF-8 character at the start of `bytes` (shortest form, no
// surrogates, at most U+10FFFF), or 0.
std::size_t utf8_length(std::string_view bytes, std::uint32_t& code_point) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t least = 0;
    if (lead < 0x80) {
        code_point = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    code_point = cp;
    return length;
}

bool shown_escaped(std::uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0) ||        // C0, DEL, C1 controls
           cp == 0x061C || cp == 0x200E || cp == 0x200F ||  // marks of direction
           (cp >= 0x2028 && cp <= 0x202E) ||                // line breaks, embeddings
           (cp >= 0x2066 && cp <= 0x2069);                  // isolates
}

void append_escaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

bool is_shown_as_code(unsigned char byte) {
    // C0 controls, DEL, and the bytes CP1252 leaves undefined (they would be C1 controls).
    return byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
           byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string terminal_text(const std::string& message) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        if (byte == '\n' && i + 1 < message.size() && message[i + 1] == '\r') {
            text += ": ";
            ++i;
        } else if (is_shown_as_code(byte)) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        } else {
            text += cp1252_to_utf8(std::string_view(&message[i], 1));
        }
    }
    return text;
}

std::string error_box_text(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        text += '.';
    }
    return text;
}

std::string cell_fault_text(const CodeSideCheck& check, std::string_view notation,
                            const LanguageTexts& texts) {
    switch (check.fault) {
        case CodeFault::None:
            break;
        case CodeFault::OutOfRange:
            return fill_in(texts.lng_code_out_of_range, "%s", check.group);
        case CodeFault::NotCodes:
            return fill_in(
                notation == kNotationHexa ? texts.lng_cell_not_hexa : texts.lng_cell_not_deci, "%s",
                check.group);
    }
    return {};
}

std::string page_name(PageSide side, const CodePagePair& pages, const LanguageTexts& texts) {
    if (side == PageSide::Dos) {
        return fill_in(texts.lng_page_dos, "%p", std::to_string(pages.oem));
    }
    return pages.utf8() ? texts.lng_page_utf8
                        : fill_in(texts.lng_page_windows, "%p", std::to_string(pages.ansi));
}

ErrorMessage error_message(const std::exception& error, const LanguageTexts& language) {
    // Before any language is applied (the language file itself failed), English.
    const LanguageTexts english =
        language.lng_product.empty() ? language_texts(kLanguageEnglish) : LanguageTexts{};
    const LanguageTexts& texts = language.lng_product.empty() ? english : language;
    if (const auto* io = dynamic_cast<const TextIoError*>(&error)) {
        return {io->file(), io_text(*io, texts), {}};
    }
    if (const auto* table = dynamic_cast<const TableFileError*>(&error)) {
        return {table->file(), table_text(*table, texts), {}};
    }
    if (const auto* guard = dynamic_cast<const ReplacementGuardError*>(&error)) {
        return guard_message(*guard, texts);
    }
    if (const auto* pages = dynamic_cast<const CodePageError*>(&error)) {
        return {{}, code_page_text(*pages, texts), {}};
    }
    if (const auto* memory = dynamic_cast<const OutOfMemoryError*>(&error)) {
        return {memory->file(),
                fill_in(fill_in(texts.lng_out_of_memory_line, "%l", std::to_string(memory->line())),
                        "%s", grouped_number(memory->line_bytes(), texts)),
                {}};
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return {{}, texts.lng_out_of_memory, {}};
    }
    if (const auto* ambiguous = dynamic_cast<const AmbiguousName*>(&error)) {
        return {ambiguous->file(), texts.lng_table_ambiguous, ambiguous->matches()};
    }
    if (const auto* unknown = dynamic_cast<const FolderUnknownError*>(&error)) {
        return {unknown->file(), texts.lng_folder_unknown, {}};
    }
    if (const auto* code = dynamic_cast<const CodeTextError*>(&error);
        code != nullptr && !code->range_group().empty()) {
        return {{},
                error_box_text(fill_in(texts.lng_code_out_of_range, "%s", code->range_group())),
                {}};
    }
    return {{}, error_box_text(error.what()), {}};
}

std::string fill_in(std::string text, std::string_view mark, const std::string& value) {
    if (const auto at = text.find(mark); at != std::string::npos) {
        text.replace(at, mark.size(), value);
    }
    return text;
}

std::string grouped_number(std::uint64_t number, const LanguageTexts& texts) {
    std::string digits = std::to_string(number);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), texts.lng_digit_group);
    }
    return digits;
}

std::string code_page_file_bad_text(const CodePagePair& in_force, const LanguageTexts& texts) {
    return fill_in(fill_in(texts.lng_code_page_file_bad, "%o", std::to_string(in_force.oem)), "%w",
                   std::to_string(in_force.ansi));
}

std::string lossy_text(std::uint64_t characters, long long first_line, const LanguageTexts& texts) {
    if (characters == 0) {
        return {};
    }
    const std::string line = grouped_number(static_cast<std::uint64_t>(first_line), texts);
    return characters == 1
               ? fill_in(texts.lng_lossy_one, "%l", line)
               : fill_in(fill_in(texts.lng_lossy_many, "%n", grouped_number(characters, texts)),
                         "%l", line);
}

std::string error_text(const std::exception& error, const LanguageTexts& texts) {
    return error_message(error, texts).text;
}

ErrorMessage error_message(const std::exception_ptr& error, const LanguageTexts& texts) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        return error_message(failure, texts);
    } catch (...) {
        return {{}, texts.lng_unexpected_error, {}};
    }
}

std::string error_text(const std::exception_ptr& error, const LanguageTexts& texts) {
    return error_message(error, texts).text;
}

ErrorMessage box_message(const std::exception& error, const LanguageTexts& texts) {
    ErrorMessage message = error_message(error, texts);
    if (dynamic_cast<const TextIoError*>(&error) != nullptr) {
        message.file.clear();
    }
    return message;
}

std::string terminal_lines(const ErrorMessage& message) {
    static constexpr std::string_view kProgramName = "glossek";
    std::string lines(kProgramName);
    lines += ": ";
    if (!message.file.empty()) {
        lines += printable_name(message.file) + ": ";
    }
    lines += terminal_text(message.text) + '\n';
    for (const std::string& name : message.listed) {
        lines += std::string(kProgramName) + ":     " + printable_name(name) + '\n';
    }
    return lines;
}

const std::string& refusal_text(GoRefusal refusal, const LanguageTexts& texts) {
    switch (refusal) {
        case GoRefusal::OutputUnnamed:
            return texts.lng_output_unnamed;
        case GoRefusal::SameInputTable:
            return texts.lng_same_input_table;
        case GoRefusal::SameOutputTable:
            return texts.lng_same_output_table;
        case GoRefusal::SameInputOutput:
        case GoRefusal::None:
            break;
    }
    return texts.lng_same_input_output;
}

std::string printable_name(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    while (!name.empty()) {
        std::uint32_t cp = 0;
        std::size_t length = utf8_length(name, cp);
        if (length == 0) {
            append_escaped(out, name.substr(0, 1));
            length = 1;
        } else if (shown_escaped(cp)) {
            append_escaped(out, name.substr(0, length));
        } else {
            out.append(name.substr(0, length));
        }
        name.remove_prefix(length);
    }
    return out;
}

}  // namespace glossek
