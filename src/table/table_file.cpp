// SPDX-License-Identifier: MIT
#include "table/table_file.h"

#include "files/text_file.h"

namespace glossek {

namespace {

std::string refusal_message(TableFileError::Reason reason, std::size_t row, std::size_t column,
                            const std::string& code) {
    switch (reason) {
        case TableFileError::Reason::NotAKeyword:
            return "not a conversion table (its first line must be CHAR, HEXA or DECI)";
        case TableFileError::Reason::UnsafeCharSide:
            return "a side holds a line-end or end-of-file byte (13 or 26) that a table in "
                   "characters cannot keep; save it with codes in hexadecimal or decimal";
        case TableFileError::Reason::UnreadableCodeSide:
            return "row " + std::to_string(row) + ", column " + std::to_string(column) +
                   " holds a side that is not a list of codes from 0 to 255; it would not read "
                   "back";
        case TableFileError::Reason::BadCode:
            return "row " + std::to_string(row) + ", side \"" +
                   (column == 2 ? "Replaced by" : "To be converted") + "\": '" + code +
                   "' is not a code";
        case TableFileError::Reason::TooLarge:
            break;
    }
    return "a conversion table file holds at most " + std::to_string(kTableFileLimit) + " bytes";
}

bool holds_line_end(const std::string& side) {
    return side.find_first_of("\x0D\x1A") != std::string::npos;
}

// A code side that load_table_file gives back as it is: codes from 0 to 255, blanks
// between them, and so no byte that ends a line or the data.
bool reads_back(const std::string& side, const std::string& notation) {
    return check_code_side(side, notation).fault == CodeFault::None;
}

// The sides of a file as read, one after another in one string, so that staging a file
// costs about its own size whatever the number of pairs.
struct Sides {
    std::string bytes;
    std::vector<std::uint32_t> ends;

    void add(std::string_view side) {
        bytes.append(side);
        ends.push_back(static_cast<std::uint32_t>(bytes.size()));
    }
    std::string get(std::size_t k) const {
        const std::uint32_t start = k == 0 ? 0 : ends[k - 1];
        return bytes.substr(start, ends[k] - start);
    }
};

// A table file read whole and checked, before it changes anything.
struct StagedTable {
    std::string notation;
    Sides as_read;  // the sides as the file writes them
    Sides chars;    // and in characters, for HEXA and DECI
};

StagedTable read_table_file(const std::string& name, TextLineFile& file) {
    file.open_read(name);
    CloseOnExit guard(file);
    StagedTable staged;
    std::string line;
    bool first = true;
    while (!file.at_end()) {
        // One line may not take more than the whole file may hold: /dev/zero is no table.
        if (!file.read_line(line, kTableFileLimit) || file.position() > kTableFileLimit) {
            throw TableFileError(TableFileError::Reason::TooLarge, name);
        }
        if (first) {
            if (!is_notation(line)) {
                throw TableFileError(TableFileError::Reason::NotAKeyword, name);
            }
            staged.notation = line;
            first = false;
            continue;
        }
        const std::string_view side = line.size() > 2 ? std::string_view(line).substr(2) : "";
        const std::size_t index = staged.as_read.ends.size();
        staged.as_read.add(side);
        if (staged.notation != kNotationChar) {
            try {
                staged.chars.add(decode_side(side, staged.notation));
            } catch (const CodeTextError& error) {
                throw TableFileError(TableFileError::Reason::BadCode, name, index / 2 + 1,
                                     index % 2 + 1, error.code());
            }
        }
    }
    file.close();
    if (first) {
        // An empty file names no notation.
        throw TableFileError(TableFileError::Reason::NotAKeyword, name);
    }
    return staged;
}

}  // namespace

TableFileError::TableFileError(Reason reason, std::string file, std::size_t row, std::size_t column,
                               std::string code)
    : std::runtime_error(file + ": " + refusal_message(reason, row, column, code)),
      reason_(reason),
      file_(std::move(file)),
      row_(row),
      column_(column),
      code_(std::move(code)) {}

std::vector<TableRow> load_table_file(const std::string& name, TextLineFile& file,
                                      ConversionTable& table) {
    const StagedTable staged = read_table_file(name, file);
    // A "To be converted" line without its "Replaced by" line is not a pair.
    const std::size_t complete = staged.as_read.ends.size() / 2;
    const std::string& notation = staged.notation;
    const Sides& char_sides = notation == kNotationChar ? staged.as_read : staged.chars;
    if (table.pairs.size() < complete) {
        table.pairs.resize(complete);
    }
    std::vector<TableRow> rows;
    rows.reserve(complete);
    for (std::size_t k = 0; k < complete; ++k) {
        ReplacementPair& record = table.pairs[k];
        record.char_from = char_sides.get(2 * k);
        record.char_to = char_sides.get(2 * k + 1);
        if (notation == kNotationHexa) {
            record.hexa_from = staged.as_read.get(2 * k);
            record.hexa_to = staged.as_read.get(2 * k + 1);
            rows.emplace_back(record.hexa_from, record.hexa_to);
        } else if (notation == kNotationDeci) {
            record.deci_from = staged.as_read.get(2 * k);
            record.deci_to = staged.as_read.get(2 * k + 1);
            rows.emplace_back(record.deci_from, record.deci_to);
        } else {
            rows.emplace_back(record.char_from, record.char_to);
        }
    }
    table.notation = notation;
    table.pair_count = complete;
    return rows;
}

void save_table_file(TextLineFile& file, const std::string& name, const std::string& notation,
                     const std::vector<TableRow>& rows) {
    if (!is_notation(notation)) {
        throw TableFileError(TableFileError::Reason::NotAKeyword, name);
    }
    std::uint64_t size = notation.size() + 2;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& [from, to] = rows[k];
        if (notation == kNotationChar) {
            if (holds_line_end(from) || holds_line_end(to)) {
                throw TableFileError(TableFileError::Reason::UnsafeCharSide, name, k + 1);
            }
        } else if (!reads_back(from, notation) || !reads_back(to, notation)) {
            throw TableFileError(TableFileError::Reason::UnreadableCodeSide, name, k + 1,
                                 reads_back(from, notation) ? 2 : 1);
        }
        size += from.size() + to.size() + 8;
    }
    if (size > kTableFileLimit) {
        throw TableFileError(TableFileError::Reason::TooLarge, name);
    }
    file.open_write(name);
    CloseOnExit guard(file);
    file.write_text(notation);
    file.end_line();
    for (const auto& [from, to] : rows) {
        file.write_text("- ");
        file.write_text(from);
        file.end_line();
        file.write_text("+ ");
        file.write_text(to);
        file.end_line();
    }
    file.close();
}

}  // namespace glossek
