// SPDX-License-Identifier: MIT
#include "app/batch.h"

#include <cstdlib>
#include <string_view>

#include "app/code_page_setting.h"
#include "app/folder_batch.h"
#include "app/side_files.h"
#include "app/start_up.h"
#include "files/file_names.h"
#include "lang/messages.h"
#include "lang/readings.h"
#include "lang/texts.h"
#include "pages/identify.h"

namespace glossek {

namespace {

void report(std::ostream& err, const ErrorMessage& message) {
    err << terminal_lines(message);
}

void report(std::ostream& err, const std::string& file, const std::string& text) {
    report(err, ErrorMessage{file, text, {}});
}

// With GLOSSEK_REPORT=1, after a conversion: an input that already read as its target, and
// the characters that had no exact counterpart.
void report_conversion(std::ostream& err, const AppState& state, const StartUpResult& result) {
    const LanguageTexts& texts = state.texts;
    const ConversionJob& job = state.job;
    if (state.way != ConversionWay::AuxiliaryTable) {
        try {
            const FileReading reading = identify_file(job.input_name, state.pages);
            if (reads_as_target(reading, state.way)) {
                report(err, job.input_name, target_text(reading, texts));
            }
        } catch (const std::exception&) {
            // The input was read a moment ago; one that cannot be read again says nothing.
        }
    }
    if (result.lossy.characters > 0) {
        report(err, job.output_name,
               lossy_text(result.lossy.characters, result.lossy.first_line, texts));
    }
}

// What the start-up's last step says; true when the window goes on.
bool report_step(std::ostream& err, const AppState& state, const StartUpResult& result) {
    const LanguageTexts& texts = state.texts;
    const ConversionJob& job = state.job;
    switch (result.step) {
        case StartUpResult::Step::Converted:
            if (report_wanted()) {
                report_conversion(err, state, result);
            }
            return false;
        case StartUpResult::Step::InputMissing:
            report(err, job.input_name, texts.lng_input_missing);
            return false;
        case StartUpResult::Step::Refused:
            report(err,
                   result.refusal == GoRefusal::SameOutputTable ? job.output_name : job.input_name,
                   refusal_text(result.refusal, texts));
            return false;
        case StartUpResult::Step::TableMissing:
            report(err, job.table_name, texts.lng_table_file_halted);
            return true;
        case StartUpResult::Step::TableRefused:
            report_error(err, result.table_error, texts);
            return true;
        case StartUpResult::Step::ShowGeneralData:
            return true;
    }
    return true;
}

}  // namespace

bool report_wanted() {
    const char* wanted = std::getenv("GLOSSEK_REPORT");
    return wanted != nullptr && std::string_view(wanted) == "1";
}

void report_error(std::ostream& err, const std::exception_ptr& error, const LanguageTexts& texts) {
    report(err, error_message(error, texts));
}

bool set_up_batch(AppState& state, std::ostream& err) {
    try {
        load_language(state);
    } catch (const std::exception& error) {
        report(err, error_message(error, state.texts));
        return false;
    }
    const LanguageTexts& texts = state.texts;
    // A kept pair that cannot be used, or a variable that names no supported page, stops
    // the run: converting with another pair than the one asked for would be no conversion.
    const CodePageResolution pages = resolve_code_pages(code_page_file(state));
    if (pages.file_error) {
        report(err, code_page_file(state), texts.lng_code_page_file_stopped);
        report(err, {}, error_text(pages.file_error, texts));
    }
    if (pages.variable_error) {
        report(err, {}, error_text(*pages.variable_error, texts));
    }
    if (pages.file_error || pages.variable_error) {
        return false;
    }
    state.pages = pages.pages;
    return true;
}

bool run_batch(AppState& state, const CommandLineJob& command, std::ostream& err,
               std::ostream& out) {
    if (!set_up_batch(state, err)) {
        return false;
    }
    if (command.unresolved_name.empty() && is_folder(command.input_name)) {
        run_folder_batch(state, command, out, err);
        return false;
    }
    StartUpResult result;
    try {
        result = apply_command_line(state, command);
    } catch (...) {
        report_error(err, std::current_exception(), state.texts);
        return false;
    }
    return report_step(err, state, result);
}

}  // namespace glossek
