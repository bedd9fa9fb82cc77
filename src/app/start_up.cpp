// SPDX-License-Identifier: MIT
#include "app/start_up.h"

#include "files/file_names.h"

namespace glossek {

StartUpResult apply_command_line(AppState& state, const CommandLineJob& command) {
    if (!command.unresolved_name.empty()) {
        throw FolderUnknownError(command.unresolved_name);
    }
    StartUpResult result;
    ConversionJob& job = state.job;
    job.line_count = kDefaultLineCount;
    job.input_name = command.input_name;
    job.output_name = command.output_name;
    state.way = command.way;
    if (command.table_given) {
        job.table_name = command.table_name;
        if (!command.table_matches.empty()) {
            result.step = StartUpResult::Step::TableRefused;
            result.table_error =
                std::make_exception_ptr(AmbiguousName(command.table_name, command.table_matches));
            return result;
        }
        if (!file_exists(job.table_name)) {
            result.step = StartUpResult::Step::TableMissing;
            return result;
        }
        if (command.run) {
            result.refusal = check_table_names(job.input_name, job.output_name, job.table_name);
            if (result.refusal != GoRefusal::None) {
                result.step = StartUpResult::Step::Refused;
                return result;
            }
        }
        try {
            result.table_rows = load_table_file(job.table_name, job.table_file, state.table);
        } catch (...) {
            result.step = StartUpResult::Step::TableRefused;
            result.table_error = std::current_exception();
            return result;
        }
    }
    if (!command.run) {
        return result;
    }
    const GenerateOutcome outcome =
        generate(job, state.way, state.table, state.pages, nullptr, &result.lossy);
    result.step = outcome == GenerateOutcome::Done ? StartUpResult::Step::Converted
                                                   : StartUpResult::Step::InputMissing;
    return result;
}

}  // namespace glossek
