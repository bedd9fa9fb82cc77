// SPDX-License-Identifier: MIT
#include "conversion/go_check.h"

#include "files/file_names.h"

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

GoRefusal check_table_names(const std::string& input, const std::string& output,
                            const std::string& table) {
    if (same_file(input, table)) {
        return GoRefusal::SameInputTable;
    }
    if (same_file(output, table)) {
        return GoRefusal::SameOutputTable;
    }
    return GoRefusal::None;
}

GoRefusal check_go_names(const ConversionJob& job) {
    if (job.output_name.empty()) {
        return GoRefusal::OutputUnnamed;
    }
    if (const GoRefusal refusal =
            check_table_names(job.input_name, job.output_name, job.table_name);
        refusal != GoRefusal::None) {
        return refusal;
    }
    if (same_file(job.output_name, job.input_name)) {
        return GoRefusal::SameInputOutput;
    }
    return GoRefusal::None;
}

GoDecision decide_go(const ConversionJob& job) {
    GoDecision decision;
    decision.refusal = check_go_names(job);
    if (decision.refusal == GoRefusal::None) {
        // A missing input is said first: no question about an output that would not change.
        decision.input_exists = file_exists(job.input_name);
        decision.ask_overwrite = decision.input_exists && file_exists(job.output_name);
    }
    return decision;
}

bool reads_as_target(const FileReading& reading, ConversionWay way) {
    switch (way) {
        case ConversionWay::DosToWindows:
            return reading.reading == Reading::Windows || reading.reading == Reading::Utf8;
        case ConversionWay::WindowsToDos:
            return reading.reading == Reading::Dos;
        case ConversionWay::AuxiliaryTable:
            break;
    }
    return false;
}

bool would_harm(const FileReading& reading, ConversionWay way) {
    return reading.reading == Reading::Binary || reads_as_target(reading, way);
}

}  // namespace glossek
