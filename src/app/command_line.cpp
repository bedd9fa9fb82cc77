// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <utility>

#include "files/file_names.h"
#include "lang/version.h"

namespace glossek {

namespace {

std::string drop_quotes(const std::string& arg) {
    std::string result;
    result.reserve(arg.size());
    for (char c : arg) {
        if (c != '"') {
            result += c;
        }
    }
    return result;
}

std::string drop_leading_slash(std::string param, bool always) {
    if (!param.empty() && param.front() == '/' &&
        (always || param.find('/', 1) == std::string::npos)) {
        param.erase(0, 1);
    }
    return param;
}

}  // namespace

Parameters parse_parameters(const std::vector<std::string>& args) {
    Parameters params;
    for (std::size_t i = 0; i < params.size() && i < args.size(); ++i) {
        params[i] = drop_leading_slash(drop_quotes(args[i]), i >= 2);
    }
    return params;
}

std::string upper_ascii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

TableLookup find_table_file(const std::string& typed, const std::string& start_folder) {
    const std::string as_typed = absolute_name(typed, start_folder);
    const std::string upper = absolute_name(upper_ascii(typed), start_folder);
    if (typed.empty() || file_exists(as_typed)) {
        return {as_typed, {}};
    }
    if (file_exists(upper)) {
        return {upper, {}};
    }
    const bool absolute = typed.front() == '/';
    std::string base = absolute ? "/" : start_folder;
    if (base.empty() || base.back() != '/') {
        base += '/';
    }
    std::vector<std::string> matches =
        matches_ignoring_case(base, absolute ? typed.substr(1) : typed);
    if (matches.empty()) {
        return {upper, {}};
    }
    if (matches.size() == 1) {
        return {matches.front(), {}};
    }
    return {as_typed, std::move(matches)};
}

CommandLineJob interpret_parameters(const Parameters& params, const std::string& start_folder) {
    CommandLineJob job;
    auto left_relative = [&](const std::string& name) {
        if (start_folder.empty() && !name.empty() && name.front() != '/' &&
            job.unresolved_name.empty()) {
            job.unresolved_name = name;
        }
    };
    left_relative(params[0]);
    left_relative(params[1]);
    job.input_name = absolute_name(params[0], start_folder);
    job.output_name = absolute_name(params[1], start_folder);
    const std::string way = upper_ascii(params[2]);
    if (way == "D") {
        job.way = ConversionWay::WindowsToDos;
    }
    if (!way.empty() && way.front() == 'A') {
        job.way = ConversionWay::AuxiliaryTable;
        job.table_given = true;
        const std::string typed = params[2].substr(1);
        left_relative(typed);
        if (typed.empty() || (start_folder.empty() && typed.front() != '/')) {
            job.table_name = upper_ascii(typed);
        } else {
            TableLookup found = find_table_file(typed, start_folder);
            job.table_name = std::move(found.name);
            job.table_matches = std::move(found.matches);
        }
    }
    job.run = upper_ascii(params[3]) == "R";
    return job;
}

std::string usage_text() {
    return "Usage: glossek [INPUT [OUTPUT [WAY [R]]]]\n"
           "       glossek --info FILE...\n"
           "       glossek --help | --version\n"
           "\n"
           "Converts a text file between a DOS and a Windows code page, or rewrites it\n"
           "through a table of replacement pairs.\n"
           "\n"
           "  INPUT    the file to convert\n"
           "  OUTPUT   the file to write; an existing one is replaced only once the\n"
           "           conversion has succeeded\n"
           "  WAY      W       DOS to Windows (also when WAY is absent or unknown)\n"
           "           D       Windows to DOS\n"
           "           ATABLE  through the auxiliary table file TABLE (.glk)\n"
           "  R        convert at once and end, without a window\n"
           "\n"
           "When INPUT is a folder, OUTPUT is a folder too and the whole tree is\n"
           "converted on every core; files already in the target's text and binary\n"
           "files are copied as they are, links skipped. GLOSSEK_REPORT=1 prints one\n"
           "line per file (result, characters without exact counterpart, first line,\n"
           "path) and a summary.\n"
           "\n"
           "--info tells what each file reads as, one line each, tab-separated: empty,\n"
           "ascii, utf-8, dos, windows, binary or unsure; its page; crlf=, lf=, cr=,\n"
           "lines=, nul=, ctrlz=, bom=, suggest= (a page that reads better); the name.\n"
           "It converts nothing.\n"
           "\n"
           "Letters may be in either case and each parameter may begin with one '/'.\n"
           "Without R the window opens with the job filled in. Nothing is printed on\n"
           "success; every reason for not converting is printed on standard error. The\n"
           "exit code is 1 on every path (0 for --help and --version, and for --info\n"
           "when every file was read).\n"
           "\n"
           "Environment: GLOSSEK_OEMCP and GLOSSEK_ANSICP choose the DOS and the Windows\n"
           "code page (for example 850 and 1252, or 65001 for UTF-8). GLOSSEK_REPORT=1\n"
           "says on standard error how many characters had no exact counterpart in the\n"
           "target page, and when the input already read as the target. See glossek(1).\n";
}

std::string version_text() {
    return "glossek " + std::string(kVersion) + "\n";
}

}  // namespace glossek
