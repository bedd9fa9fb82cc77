// SPDX-License-Identifier: MIT
#include "app/folder_batch.h"

#include "app/batch.h"
#include "app/folder_report.h"
#include "app/folder_run.h"
#include "files/file_names.h"
#include "files/text_file.h"
#include "lang/folder_texts.h"
#include "lang/messages.h"
#include "table/table_file.h"

namespace glossek {

namespace {

// The table of the way A, read before anything is written; false, said on `err`, when it
// cannot be used or lies in the output folder, where a converted file could replace it.
bool load_table(AppState& state, const CommandLineJob& command, std::ostream& err) {
    const LanguageTexts& texts = state.texts;
    if (!command.table_matches.empty()) {
        err << terminal_lines(
            {command.table_name, texts.lng_table_ambiguous, command.table_matches});
        return false;
    }
    if (!file_exists(command.table_name)) {
        err << terminal_lines({command.table_name, texts.lng_table_file_halted, {}});
        return false;
    }
    if (check_folders(command.table_name, command.output_name) ==
        FolderRefusal::InputInsideOutput) {
        err << terminal_lines({command.table_name, texts.lng_same_output_table, {}});
        return false;
    }
    TextLineFile file;
    load_table_file(command.table_name, file, state.table);
    return true;
}

}  // namespace

void run_folder_batch(AppState& state, const CommandLineJob& command, std::ostream& out,
                      std::ostream& err) {
    const LanguageTexts& texts = state.texts;
    const FolderRefusal refusal = check_folders(command.input_name, command.output_name);
    if (refusal != FolderRefusal::None) {
        err << terminal_lines({command.output_name, folder_refusal_text(refusal, texts), {}});
        return;
    }
    const bool report = report_wanted();
    FolderCounts counts;
    try {
        if (command.way == ConversionWay::AuxiliaryTable && !load_table(state, command, err)) {
            return;
        }
        FolderSettings settings;
        settings.input = command.input_name;
        settings.output = command.output_name;
        settings.way = command.way;
        settings.table = &state.table;
        settings.pages = state.pages;
        run_folder(settings, [&](const FolderFile& file) {
            counts.add(file.result);
            if (file.error) {
                report_error(err, file.error, texts);
            }
            if (report) {
                out << result_word(file.result) << '\t' << file.lossy.characters << '\t'
                    << (file.lossy.characters > 0 ? std::to_string(file.lossy.first_line) : "-")
                    << '\t' << printable_name(file.relative) << '\n';
            }
        });
    } catch (...) {
        report_error(err, std::current_exception(), texts);
    }
    out.flush();
    if (report) {
        err << terminal_lines({{}, folder_summary(counts, command.way, texts), {}});
    }
}

}  // namespace glossek
