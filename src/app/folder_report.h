// SPDX-License-Identifier: MIT
// What a folder run reports of each file, in words for the window and as a CSV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/folder_run.h"
#include "lang/texts.h"

namespace glossek {

// The result as batch mode's report and the saved report write it, in any language:
// "converted", "copied-target", "copied-binary", "skipped-link", "failed".
const char* result_word(FolderResult result);

// The result in the words of the language (CP1252): "copied, already Windows text".
std::string result_text(FolderResult result, ConversionWay way, const LanguageTexts& texts);

// One file of the report, its texts in UTF-8: the path as messages show names
// (printable_name), the characters without exact counterpart and the line of the first (0
// when there is none), and why it failed.
struct FolderReportRow {
    std::string path;
    FolderResult result = FolderResult::Failed;
    std::uint64_t characters = 0;
    long long first_line = 0;
    std::string message;
};
FolderReportRow report_row(const FolderFile& file, const LanguageTexts& texts);

// The report as a CSV file: UTF-8, CR LF line ends, the header
// "path,result,characters,first_line,message", fields quoted as RFC 4180 asks.
std::string report_csv(const std::vector<FolderReportRow>& rows);

// Writes it through the program's safe output (see TextLineFile::open_write); throws
// TextIoError, leaving a file of that name as it was.
void save_report(const std::string& name, const std::vector<FolderReportRow>& rows);

// The question asked before a run replaces files the output folder already holds.
std::string replace_question(std::uint64_t files, const LanguageTexts& texts);

}  // namespace glossek
