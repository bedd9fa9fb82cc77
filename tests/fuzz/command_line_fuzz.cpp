// SPDX-License-Identifier: MIT
// The command line: arguments split at NUL bytes, as the system hands them over.
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz_support.h"

namespace {

bool dropped_to(const std::string& arg, const std::string& param) {
    std::string unquoted;
    for (char c : arg) {
        if (c != '"') {
            unquoted += c;
        }
    }
    return param == unquoted ||
           (!unquoted.empty() && unquoted.front() == '/' && param == unquoted.substr(1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using glossek::fuzz::check;
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    const glossek::Parameters params = glossek::parse_parameters(args);
    for (std::size_t i = 0; i < params.size(); ++i) {
        check(params[i].find('"') == std::string::npos, "a quote kept");
        if (i < args.size()) {
            check(dropped_to(args[i], params[i]), "a parameter is not its argument");
        } else {
            check(params[i].empty(), "a missing parameter is not empty");
        }
    }

    const glossek::CommandLineJob job = glossek::interpret_parameters(params, "/nonexistent-start");
    check(job.input_name.empty() || job.input_name.front() == '/', "input name left relative");
    check(job.output_name.empty() || job.output_name.front() == '/', "output name left relative");
    check(job.table_name.empty() || job.table_name.front() == '/', "table name left relative");
    check(job.unresolved_name.empty(), "a name left relative although the folder is known");
    check(job.table_given == (job.way == glossek::ConversionWay::AuxiliaryTable),
          "table and way disagree");
    check(job.run == (glossek::upper_ascii(params[3]) == "R"), "run without R");
    return 0;
}
