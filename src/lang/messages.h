// SPDX-License-Identifier: MIT
// What an error says, with the file names kept apart from the program's own words.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/go_check.h"
#include "conversion/input_view.h"
#include "lang/texts.h"
#include "pages/code_pages.h"
#include "table/table.h"

namespace glossek {

// File names are bytes of the file system (UTF-8 on Linux) and are never passed through a
// code page; `text` is the program's own words in the current language, as CP1252 bytes.
// Shown together: the file, then the text (in the window joined by LF CR; in batch mode
// "glossek: FILE: TEXT"), then each of `listed` on a line of its own.
struct ErrorMessage {
    std::string file;                 // the file the error is about; empty when none
    std::string text;                 // full stop included where the error box adds one
    std::vector<std::string> listed;  // further names the text refers to
};

// The message of an error of the program's core, in the current language (a code text
// typed in the grid keeps its fixed text). std::bad_alloc says that memory ran out.
ErrorMessage error_message(const std::exception& error, const LanguageTexts& texts);
// The same for a failure caught as an exception pointer (of any type).
ErrorMessage error_message(const std::exception_ptr& error, const LanguageTexts& texts);

// The text alone, as the error box shows it.
std::string error_text(const std::exception& error, const LanguageTexts& texts);
std::string error_text(const std::exception_ptr& error, const LanguageTexts& texts);

// The message of the error box: a file layer's box shows its text alone, other boxes the
// file first.
ErrorMessage box_message(const std::exception& error, const LanguageTexts& texts);

// The lines batch mode writes to standard error: "glossek: FILE: TEXT", the name as the file
// system spells it (see printable_name) and the text in UTF-8, then each listed name on a
// line of its own.
std::string terminal_lines(const ErrorMessage& message);

// The text with its first `mark` (such as "%n") replaced by the value.
std::string fill_in(std::string text, std::string_view mark, const std::string& value);

// 1234567 as "1,234,567" in English and "1 234 567" in French.
std::string grouped_number(std::uint64_t number, const LanguageTexts& texts);

// The text of a refused Go or batch conversion.
const std::string& refusal_text(GoRefusal refusal, const LanguageTexts& texts);

// What the window says of a kept pair of code pages it cannot use, naming the pair it uses
// instead.
std::string code_page_file_bad_text(const CodePagePair& in_force, const LanguageTexts& texts);

// What the end of a conversion says of the characters that had no exact counterpart in
// the target page: "3 characters had no exact counterpart (first on line 12)", numbers
// grouped as the language writes them. Empty when there is none.
std::string lossy_text(std::uint64_t characters, long long first_line, const LanguageTexts& texts);

// The error box appends a full stop when the message's last byte sorts after '.'.
std::string error_box_text(std::string_view message);

// The program's own text (CP1252) for a terminal, in UTF-8: the LF CR join becomes ": ",
// and control bytes are shown as \xHH so that no text can drive the terminal. File names
// never go through it (see printable_name).
std::string terminal_text(const std::string& message);

// What the table editor says of a cell in a code notation that is at fault (see
// check_code_side); empty when it is not.
std::string cell_fault_text(const CodeSideCheck& check, std::string_view notation,
                            const LanguageTexts& texts);

// The page of the pair as a viewer names it: "DOS 850", "Windows 1252", "UTF-8".
std::string page_name(PageSide side, const CodePagePair& pages, const LanguageTexts& texts);

// A file name as it can be shown on a terminal or in a box: valid UTF-8 as it stands;
// control characters (C0, DEL, C1), characters that turn the direction of text, and bytes
// that are not valid UTF-8 as \xHH, byte by byte, so that a name can never drive the
// terminal or pass for another. The result is valid UTF-8.
std::string printable_name(std::string_view name);

}  // namespace glossek
