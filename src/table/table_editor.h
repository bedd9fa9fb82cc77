// SPDX-License-Identifier: MIT
// What the table editor's grid holds and does, kept in step with the table it edits.
//
// Row k of the grid (1-based, as the grid counts below its title row) shows pair k of the
// table. Rows and pair records move together, and the table's pair count is the number of
// rows, so the pairs a user sees are the pairs a conversion applies.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "table/table.h"
#include "table/table_file.h"

namespace glossek {

inline constexpr unsigned char kBackspace = 8;
inline constexpr unsigned char kEnter = 13;

class TableEditor {
public:
    explicit TableEditor(ConversionTable& table);

    int row_count() const { return static_cast<int>(cells_.size()); }
    const std::string& cell(int row, int column) const;
    std::vector<TableRow> rows() const;
    const std::string& notation() const { return table_.notation; }

    // One typed byte in cell (row, column). Returns true when it asks for the input box
    // (Enter in characters), which the caller shows and answers with enter_text. In a code
    // notation what is typed is kept as typed (hexadecimal digits in upper case), control
    // characters aside, whether it makes codes or not: see cell_fault.
    bool key_press(int row, int column, unsigned char typed);
    // The input box's OK: the edited text becomes the cell.
    void enter_text(int row, int column, const std::string& text);
    // Brings the pair in step with the cell, as after every key: a code cell at fault
    // leaves the pair's characters as they were.
    void sync_pair(int row, int column);
    // What is wrong with a cell in a code notation (see check_code_side); nothing in CHAR.
    CodeSideCheck cell_fault(int row, int column) const;

    void add();
    void insert(int row);
    void remove(int row);

    // Converts every row to the notation. False when refused (between the two code
    // notations) or already current. Converting back to characters throws CodeTextError at
    // the first cell at fault (see cell_fault); the cells before it are converted.
    bool switch_to(std::string_view notation);

    // The rows of a table just read from a file, in its notation; an empty table shows one
    // empty row.
    void show_loaded(const std::vector<TableRow>& rows);

private:
    std::string& side_text(ReplacementPair& pair, int column, std::string_view notation);
    void count_pairs();

    ConversionTable& table_;
    std::vector<std::array<std::string, 2>> cells_;
};

}  // namespace glossek
