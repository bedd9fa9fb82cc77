// The program's one conversion job and the parameters of its command line.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
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

// A relative name made absolute against `folder`; empty and absolute names are kept, and so
// is every name when `folder` is empty.
std::string absolute_name(const std::string& name, const std::string& folder);

// The table file of the command line, `typed` as given after the "A" (relative names
// mean `start_folder`): the name as typed when that file exists, else the name in upper
// case (as the program always used it), else the one file that matches it without regard
// to case, component by component. When several match, `matches` lists them (sorted) and
// `name` is the name as typed; when none does, `name` is the name in upper case.
struct TableLookup {
    std::string name;
    std::vector<std::string> matches;
};
TableLookup find_table_file(const std::string& typed, const std::string& start_folder);

// The conversion file named on the command line matches several files without regard to
// case: none of them is taken.
class AmbiguousTableName : public std::runtime_error {
public:
    AmbiguousTableName(std::string file, std::vector<std::string> matches);
    const std::string& file() const { return file_; }
    const std::vector<std::string>& matches() const { return matches_; }

private:
    std::string file_;
    std::vector<std::string> matches_;
};

// A relative name on the command line when the folder the program was started from cannot
// be known (deleted, or a path too long): it would otherwise mean some other folder.
class FolderUnknownError : public std::runtime_error {
public:
    explicit FolderUnknownError(std::string file);
    const std::string& file() const { return file_; }

private:
    std::string file_;
};

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

}  // namespace glossek
