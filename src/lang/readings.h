// SPDX-License-Identifier: MIT
// What a file reads as, in the words of the language in force.
#pragma once

#include <string>

#include "lang/texts.h"
#include "pages/identify.h"

namespace glossek {

// The reading's kind: "DOS text (850)", "UTF-8 text", "binary data, not text"; empty for an
// empty file and an unsure reading.
std::string kind_text(const FileReading& reading, const LanguageTexts& texts);

// The line that says what a file reads as: "Reads as DOS text (850), CR LF line ends,
// 1,234 lines", or that neither side of the pair reads well and which page reads better.
std::string reading_text(const FileReading& reading, const CodePagePair& pages,
                         const LanguageTexts& texts);

// The question asked before a conversion that would do harm (see would_harm), and what
// batch mode says of an input that already reads as its target.
std::string harm_question(const FileReading& reading, const LanguageTexts& texts);
std::string target_text(const FileReading& reading, const LanguageTexts& texts);

// A page as the suggestion names it, "DOS 866" or "Windows 1251".
std::string page_name(int page);

// The pair that puts a suggested page in force: the page on its side and, on the other,
// its partner page, or the page in force there when that is UTF-8.
PageNumbers suggested_pair(int page, const CodePagePair& pages);

}  // namespace glossek
