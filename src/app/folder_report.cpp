// SPDX-License-Identifier: MIT
#include "app/folder_report.h"

#include "files/text_file.h"
#include "lang/messages.h"

namespace glossek {

namespace {

// A field quoted when it holds a comma, a quote or a line end, its quotes doubled.
void append_field(std::string& line, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

std::string failure_text(const std::exception_ptr& error, const LanguageTexts& texts) {
    const ErrorMessage message = error_message(error, texts);
    std::string text = terminal_text(message.text);
    if (!message.file.empty()) {
        text = printable_name(message.file) + ": " + text;
    }
    for (const std::string& name : message.listed) {
        text += "; " + printable_name(name);
    }
    return text;
}

}  // namespace

const char* result_word(FolderResult result) {
    switch (result) {
        case FolderResult::Converted:
            return "converted";
        case FolderResult::CopiedTarget:
            return "copied-target";
        case FolderResult::CopiedBinary:
            return "copied-binary";
        case FolderResult::SkippedLink:
            return "skipped-link";
        case FolderResult::Failed:
            break;
    }
    return "failed";
}

std::string result_text(FolderResult result, ConversionWay way, const LanguageTexts& texts) {
    switch (result) {
        case FolderResult::Converted:
            return texts.lng_result_converted;
        case FolderResult::CopiedTarget:
            return fill_in(texts.lng_result_target, "%k",
                           way == ConversionWay::WindowsToDos ? texts.lng_target_dos
                                                              : texts.lng_target_windows);
        case FolderResult::CopiedBinary:
            return texts.lng_result_binary;
        case FolderResult::SkippedLink:
            return texts.lng_result_link;
        case FolderResult::Failed:
            break;
    }
    return texts.lng_result_failed;
}

FolderReportRow report_row(const FolderFile& file, const LanguageTexts& texts) {
    FolderReportRow row;
    row.path = printable_name(file.relative);
    row.result = file.result;
    row.characters = file.lossy.characters;
    row.first_line = file.lossy.characters > 0 ? file.lossy.first_line : 0;
    if (file.error) {
        row.message = failure_text(file.error, texts);
    }
    return row;
}

std::string report_csv(const std::vector<FolderReportRow>& rows) {
    std::string csv = "path,result,characters,first_line,message\r\n";
    for (const FolderReportRow& row : rows) {
        append_field(csv, row.path);
        csv += ',';
        csv += result_word(row.result);
        csv += ',' + std::to_string(row.characters) + ',';
        if (row.first_line > 0) {
            csv += std::to_string(row.first_line);
        }
        csv += ',';
        append_field(csv, row.message);
        csv += "\r\n";
    }
    return csv;
}

void save_report(const std::string& name, const std::vector<FolderReportRow>& rows) {
    const std::string csv = report_csv(rows);
    TextLineFile file;
    file.open_write(name);
    CloseOnExit guard(file);
    file.write_text(csv);
    file.close();
}

std::string replace_question(std::uint64_t files, const LanguageTexts& texts) {
    return files == 1 ? texts.lng_folder_replace_one
                      : fill_in(texts.lng_folder_replace, "%n", grouped_number(files, texts));
}

}  // namespace glossek
