// SPDX-License-Identifier: MIT
// The command line: its four parameters and what they ask for.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "conversion/job.h"

namespace glossek {

// P1 to P4 as given: missing ones are empty, later ones are ignored.
using Parameters = std::array<std::string, 4>;

// The shell has already split the words; each argument is one parameter. Double quotes are
// dropped, and one leading "/" is removed: always from P3 and P4, and from P1 and P2 only
// when they hold no other "/" (so "/letter.txt" is letter.txt, "/home/u/letter.txt" stays).
Parameters parse_parameters(const std::vector<std::string>& args);

// Letters a to z in upper case, nothing else touched.
std::string upper_ascii(std::string text);

// The table file of the command line, `typed` as given after the "A" (relative names
// mean `start_folder`): the name as typed when that file exists, else the name in upper
// case, else the one file that matches it without regard to case, component by component. When
// several match, `matches` lists them (sorted) and `name` is the name as typed; when none does,
// `name` is the name in upper case.
struct TableLookup {
    std::string name;
    std::vector<std::string> matches;
};
TableLookup find_table_file(const std::string& typed, const std::string& start_folder);

// What the command line asks for, with names made absolute against the folder the program
// was started from (before it moves to its own folder).
struct CommandLineJob {
    std::string input_name;
    std::string output_name;
    ConversionWay way = ConversionWay::DosToWindows;
    bool table_given = false;
    std::string table_name;
    std::vector<std::string> table_matches;  // several files match the table name
    bool run = false;
    // The first relative name that could not be made absolute (the start folder unknown);
    // empty when every name could be.
    std::string unresolved_name;
};

CommandLineJob interpret_parameters(const Parameters& params, const std::string& start_folder);

// What --help and --version print.
std::string usage_text();
std::string version_text();

}  // namespace glossek
