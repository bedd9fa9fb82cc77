// The program's one conversion job and the parameters of its command line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "conversion/text_file.h"

namespace glossek {

enum class ConversionWay { DosToWindows, WindowsToDos, AuxiliaryTable };

inline constexpr std::int32_t kDefaultLineCount = 10000;

struct t_file {
    std::string InputName;
    TextLineFile InputFile;
    std::int32_t LineCount = kDefaultLineCount;
    std::string OutputName;
    TextLineFile OutputFile;
    std::string TableName;
    TextLineFile TableFile;
    std::int32_t PairCount = 0;
    std::string Notation;
    std::uint8_t RunFlag = 0;
};
using ConversionJob = t_file;

// P1 to P4 as given: missing ones are empty, later ones are ignored.
using Parameters = std::array<std::string, 4>;

// The shell has already split the words; each argument is one parameter. Double quotes are
// dropped, and one leading "/" is removed: always from P3 and P4, and from P1 and P2 only
// when they hold no other "/" (so "/letter.txt" is letter.txt, "/home/u/letter.txt" stays).
Parameters parse_parameters(const std::vector<std::string>& args);

// Letters a to z in upper case, nothing else touched.
std::string upper_ascii(std::string text);

// A relative name made absolute against `folder`; empty and absolute names are kept.
std::string absolute_name(const std::string& name, const std::string& folder);

// The name of an existing file that matches `name` without regard to case, component by
// component, or `name` itself when it exists or nothing matches.
std::string find_ignoring_case(const std::string& name);

// What the command line asks for, with names made absolute against the folder the program
// was started from (before it moves to its own folder).
struct CommandLineJob {
    std::string input_name;
    std::string output_name;
    ConversionWay way = ConversionWay::DosToWindows;
    bool table_given = false;
    std::string table_name;
    bool run = false;
};

CommandLineJob interpret_parameters(const Parameters& params, const std::string& start_folder);

}  // namespace glossek
