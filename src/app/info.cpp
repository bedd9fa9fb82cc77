// SPDX-License-Identifier: MIT
#include "app/info.h"

#include "app/batch.h"
#include "files/file_names.h"
#include "lang/messages.h"

namespace glossek {

namespace {

const char* reading_word(Reading reading) {
    switch (reading) {
        case Reading::Empty:
            return "empty";
        case Reading::Ascii:
            return "ascii";
        case Reading::Utf8:
            return "utf-8";
        case Reading::Dos:
            return "dos";
        case Reading::Windows:
            return "windows";
        case Reading::Binary:
            return "binary";
        case Reading::Unsure:
            break;
    }
    return "unsure";
}

std::string number_or_dash(std::uint64_t number, bool known) {
    return known ? std::to_string(number) : "-";
}

}  // namespace

std::string info_line(const FileReading& reading, const std::string& name) {
    std::string line = reading_word(reading.reading);
    line += '\t' + number_or_dash(static_cast<std::uint64_t>(reading.page), reading.page != 0);
    line += "\tcrlf=" + std::to_string(reading.crlf);
    line += "\tlf=" + std::to_string(reading.lf);
    line += "\tcr=" + std::to_string(reading.cr);
    line += "\tlines=" + std::to_string(reading.lines);
    line += "\tnul=" + std::to_string(reading.nul);
    line += "\tctrlz=" + number_or_dash(reading.ctrl_z.value_or(0), reading.ctrl_z.has_value());
    line += reading.bom ? "\tbom=yes" : "\tbom=no";
    line += "\tsuggest=" +
            number_or_dash(static_cast<std::uint64_t>(reading.suggestion), reading.suggestion != 0);
    line += '\t' + printable_name(name) + '\n';
    return line;
}

int run_info(AppState& state, const std::vector<std::string>& names, std::ostream& out,
             std::ostream& err) {
    if (!set_up_batch(state, err)) {
        return 1;
    }
    int status = 0;
    for (const std::string& name : names) {
        try {
            if (state.start_dir.empty() && !name.empty() && name.front() != '/') {
                throw FolderUnknownError(name);
            }
            out << info_line(identify_file(absolute_name(name, state.start_dir), state.pages),
                             name);
        } catch (...) {
            out.flush();
            report_error(err, std::current_exception(), state.texts);
            status = 1;
        }
    }
    out.flush();
    return out.good() ? status : 1;
}

}  // namespace glossek
