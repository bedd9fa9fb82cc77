#include "conversion/start_up.h"

#include "conversion/engine.h"

namespace glossek {

StartUpResult apply_command_line(AppState& state, const CommandLineJob& command) {
    if (!command.unresolved_name.empty()) {
        throw FolderUnknownError(command.unresolved_name);
    }
    StartUpResult result;
    ConversionJob& job = state.job;
    state.way = ConversionWay::DosToWindows;
    job.RunFlag = 0;
    job.LineCount = kDefaultLineCount;
    job.InputName = command.input_name;
    job.OutputName = command.output_name;
    state.way = command.way;
    if (command.table_given) {
        job.TableName = command.table_name;
        if (!command.table_matches.empty()) {
            result.step = StartUpResult::Step::TableRefused;
            result.table_error = std::make_exception_ptr(
                AmbiguousTableName(command.table_name, command.table_matches));
            return result;
        }
        if (!file_exists(job.TableName)) {
            result.step = StartUpResult::Step::TableMissing;
            return result;
        }
        if (command.run && same_file(job.InputName, job.TableName)) {
            result.step = StartUpResult::Step::SameInputTable;
            return result;
        }
        if (command.run && same_file(job.OutputName, job.TableName)) {
            result.step = StartUpResult::Step::SameOutputTable;
            return result;
        }
        try {
            result.table_rows = load_table_file(job, state.table);
        } catch (...) {
            result.step = StartUpResult::Step::TableRefused;
            result.table_error = std::current_exception();
            return result;
        }
    }
    job.RunFlag = command.run ? 1 : 0;
    if (job.RunFlag == 0) {
        return result;
    }
    GenerateOutcome outcome =
        Generate(job, state.way, state.table, state.pages, nullptr, &result.lossy);
    result.step = outcome == GenerateOutcome::Done ? StartUpResult::Step::Converted
                                                   : StartUpResult::Step::InputMissing;
    return result;
}

}  // namespace glossek
