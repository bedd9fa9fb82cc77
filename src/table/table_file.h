// Table files (.glk): the notation keyword, then a "- " line and a "+ " line per pair.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "table/table.h"

namespace glossek {

struct t_file;
using ConversionJob = t_file;
class TextLineFile;

// A table file that is refused before anything changes: a first line that is no notation
// keyword, or a CHAR side holding a byte that would not read back.
class TableFileError : public std::runtime_error {
public:
    enum class Reason { NotAKeyword, UnsafeCharSide };
    TableFileError(Reason reason, std::string file);
    Reason reason() const { return reason_; }
    const std::string& file() const { return file_; }

private:
    Reason reason_;
    std::string file_;
};

// One grid row: the two sides as the current notation shows them.
using TableRow = std::pair<std::string, std::string>;

// Reads the table file named by the job's TableName through its TableFile. Everything is
// read and checked first; only a file read whole changes the table, the job's Notation and
// PairCount. Returns the rows to show: the complete pairs, in the file's notation.
// Throws TextIoError, CodeTextError or TableFileError, changing nothing.
std::vector<TableRow> load_table_file(ConversionJob& job, ConversionTable& table);

// Writes the rows in the given notation. A CHAR side holding CR or Ctrl-Z is refused with
// TableFileError before the file is created or emptied.
void save_table_file(TextLineFile& file, const std::string& name, const std::string& notation,
                     const std::vector<TableRow>& rows);

}  // namespace glossek
