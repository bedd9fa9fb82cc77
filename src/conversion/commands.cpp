#include "conversion/commands.h"

#include <limits>

#include "conversion/engine.h"

namespace glossek {

std::string proposed_output_name(const std::string& input_name) {
    const auto slash = input_name.find_last_of('/');
    const auto dot = input_name.find_last_of('.');
    const bool has_extension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (!has_extension) {
        return input_name + ".cvt";
    }
    return input_name.substr(0, dot) + ".cvt" + input_name.substr(dot);
}

GoRefusal check_go_names(const ConversionJob& job) {
    if (job.OutputName.empty()) {
        return GoRefusal::OutputUnnamed;
    }
    if (same_file(job.InputName, job.TableName)) {
        return GoRefusal::SameInputTable;
    }
    if (same_file(job.OutputName, job.TableName)) {
        return GoRefusal::SameOutputTable;
    }
    if (same_file(job.OutputName, job.InputName)) {
        return GoRefusal::SameInputOutput;
    }
    return GoRefusal::None;
}

GoDecision decide_go(const ConversionJob& job) {
    GoDecision decision;
    decision.refusal = check_go_names(job);
    if (decision.refusal == GoRefusal::None) {
        decision.ask_overwrite = file_exists(job.OutputName);
        decision.input_exists = file_exists(job.InputName);
    }
    return decision;
}

void read_input_view(ConversionJob& job, const std::function<void(std::string_view)>& show) {
    TextLineFile& file = job.InputFile;
    file.open_read(job.InputName);
    CloseOnExit guard(file);
    long long count = 0;
    std::string line;
    while (!file.at_end()) {
        if (count < kViewerLineLimit) {
            // Cut for the viewer: a line of any length costs no more memory than that.
            if (!file.read_line(line, kViewerLineBytes)) {
                file.skip_line();
            }
            show(line);
        } else {
            file.skip_line();
        }
        ++count;
    }
    file.close();
    constexpr long long kMax = std::numeric_limits<std::int32_t>::max();
    job.LineCount =
        count == 0 ? kDefaultLineCount : static_cast<std::int32_t>(count > kMax ? kMax : count);
}

}  // namespace glossek
