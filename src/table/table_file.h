// SPDX-License-Identifier: MIT
// Table files (.glk): the notation keyword, then a "- " line and a "+ " line per pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "table/table.h"

namespace glossek {

class TextLineFile;

// The most a table file may hold (its data, up to a Ctrl-Z). Memory for a table is a small
// multiple of its file; a larger file is refused before it can exhaust memory.
inline constexpr std::uint64_t kTableFileLimit = 1024 * 1024;

// A table file that is refused before anything changes: a first line that is no notation
// keyword, a side that would not read back when saved (a CHAR side holding CR or Ctrl-Z, a
// HEXA or DECI side that is no list of codes from 0 to 255; `row` and `column`, from 1,
// say which), a side read that is no list of codes (BadCode: `row`, `column` and the code),
// or a file larger than kTableFileLimit.
class TableFileError : public std::runtime_error {
public:
    enum class Reason { NotAKeyword, UnsafeCharSide, UnreadableCodeSide, BadCode, TooLarge };
    TableFileError(Reason reason, std::string file, std::size_t row = 0, std::size_t column = 0,
                   std::string code = {});
    Reason reason() const { return reason_; }
    const std::string& file() const { return file_; }
    std::size_t row() const { return row_; }
    std::size_t column() const { return column_; }
    bool to_side() const { return column_ == 2; }  // "Replaced by" rather than "To be converted"
    const std::string& code() const { return code_; }

private:
    Reason reason_;
    std::string file_;
    std::size_t row_;
    std::size_t column_;
    std::string code_;
};

// One grid row: the two sides as the current notation shows them.
using TableRow = std::pair<std::string, std::string>;

// Reads the table file `name` through `file`. Everything is read and checked first; only a
// file read whole changes the table, its notation and its pair count. Returns the rows to
// show: the complete pairs, in the file's notation.
// Throws TextIoError or TableFileError, changing nothing.
std::vector<TableRow> load_table_file(const std::string& name, TextLineFile& file,
                                      ConversionTable& table);

// Writes the rows in the given notation. Rows that load_table_file would not give back as
// they are (see TableFileError, check_code_side) are refused before the file is touched.
void save_table_file(TextLineFile& file, const std::string& name, const std::string& notation,
                     const std::vector<TableRow>& rows);

}  // namespace glossek
