// SPDX-License-Identifier: MIT
// Between the core's byte strings and the strings Qt shows.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "conversion/input_view.h"
#include "pages/code_pages.h"

namespace glossek {

// The program's own texts, CP1252 bytes whatever the code page of the files.
QString from_cp1252(std::string_view text);

// File contents as the ANSI code page in force shows them; control bytes stay visible.
// Under UTF-8 (65001) bytes that are not valid UTF-8 show as U+FFFD.
QString from_ansi_page(std::string_view bytes, const CodePagePair& pages);

// File contents through one page of the pair: the DOS page shows each byte as its
// character (U+FFFD where the page has none), the Windows page as from_ansi_page does.
QString from_page(std::string_view bytes, PageSide side, const CodePagePair& pages);

// Typed text as bytes of the ANSI code page in force; characters it lacks are left out.
// Under UTF-8 every character is its UTF-8 sequence (é is C3 A9).
std::string to_ansi_page(const QString& text, const CodePagePair& pages);

// File names are the file system's bytes.
QString from_file_name(const std::string& name);
std::string to_file_name(const QString& name);

// A file name as a message shows it: as the system spells it, with control characters and
// bytes that are not UTF-8 written as codes, so that no name can pass for another.
QString shown_name(const std::string& name);

// Two parts of a message joined by LF CR, the program's way.
QString joined(const QString& first, const QString& second);

}  // namespace glossek
