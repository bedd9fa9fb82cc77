// SPDX-License-Identifier: MIT
#include "table/table_editor.h"

#include <stdexcept>

namespace glossek {

namespace {

// Codes that would not come back as typed stop a switch to characters.
void throw_if_at_fault(const std::string& codes, std::string_view notation) {
    const CodeSideCheck check = check_code_side(codes, notation);
    if (check.fault == CodeFault::OutOfRange) {
        throw CodeTextError::out_of_range(check.group);
    }
    if (check.fault == CodeFault::NotCodes) {
        decode_side(codes, notation);  // the reader's own error, where it has one
        throw CodeTextError(notation == kNotationHexa ? "$" : "", check.group);
    }
}

}  // namespace

TableEditor::TableEditor(ConversionTable& table) : table_(table), cells_(1) {
    table_.notation = std::string(kNotationChar);
    count_pairs();
}

const std::string& TableEditor::cell(int row, int column) const {
    return cells_.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column));
}

std::vector<TableRow> TableEditor::rows() const {
    std::vector<TableRow> result;
    result.reserve(cells_.size());
    for (const auto& row : cells_) {
        result.emplace_back(row[0], row[1]);
    }
    return result;
}

void TableEditor::count_pairs() {
    table_.record(cells_.size());
    table_.pair_count = cells_.size();
}

std::string& TableEditor::side_text(ReplacementPair& pair, int column, std::string_view notation) {
    const bool from = column == 0;
    if (notation == kNotationHexa) {
        return from ? pair.hexa_from : pair.hexa_to;
    }
    if (notation == kNotationDeci) {
        return from ? pair.deci_from : pair.deci_to;
    }
    return from ? pair.char_from : pair.char_to;
}

bool TableEditor::key_press(int row, int column, unsigned char typed) {
    std::string& text =
        cells_.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column));
    const std::string& notation = table_.notation;
    const bool chars = notation == kNotationChar;
    bool wants_input_box = false;
    if (typed == kBackspace) {
        if (!text.empty()) {
            text.pop_back();
        }
        if (text.size() == 1) {
            text.clear();
        }
    } else if (typed == kEnter) {
        wants_input_box = chars;
    } else if (chars || typed >= ' ') {
        const bool upper = notation == kNotationHexa && typed >= 'a' && typed <= 'f';
        text += static_cast<char>(upper ? typed - 'a' + 'A' : typed);
    }
    if (!wants_input_box) {
        sync_pair(row, column);
    }
    return wants_input_box;
}

void TableEditor::enter_text(int row, int column, const std::string& text) {
    cells_.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column)) = text;
    sync_pair(row, column);
}

void TableEditor::sync_pair(int row, int column) {
    const std::string& text = cell(row, column);
    ReplacementPair& pair = table_.record(static_cast<std::size_t>(row));
    const std::string& notation = table_.notation;
    side_text(pair, column, notation) = text;
    if (notation != kNotationChar && check_code_side(text, notation).fault == CodeFault::None) {
        side_text(pair, column, kNotationChar) = decode_side(text, notation);
    }
}

CodeSideCheck TableEditor::cell_fault(int row, int column) const {
    return check_code_side(cell(row, column), table_.notation);
}

void TableEditor::add() {
    cells_.emplace_back();
    table_.record(cells_.size()) = ReplacementPair{};
    count_pairs();
}

void TableEditor::insert(int row) {
    const auto at = static_cast<std::size_t>(row - 1);
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(at), std::array<std::string, 2>{});
    table_.record(cells_.size());
    table_.pairs.insert(table_.pairs.begin() + static_cast<std::ptrdiff_t>(at), ReplacementPair{});
    count_pairs();
}

void TableEditor::remove(int row) {
    if (cells_.size() <= 1) {
        return;  // the last row is never deleted
    }
    const auto at = static_cast<std::size_t>(row - 1);
    cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(at));
    table_.pairs.erase(table_.pairs.begin() + static_cast<std::ptrdiff_t>(at));
    count_pairs();
}

bool TableEditor::switch_to(std::string_view notation) {
    const std::string current = table_.notation;
    if (current == notation || (current != kNotationChar && notation != kNotationChar)) {
        return false;
    }
    for (std::size_t k = 0; k < cells_.size(); ++k) {
        ReplacementPair& pair = table_.record(k + 1);
        for (int column = 0; column < 2; ++column) {
            std::string& chars = side_text(pair, column, kNotationChar);
            if (notation == kNotationChar) {
                const std::string& codes = side_text(pair, column, current);
                throw_if_at_fault(codes, current);
                chars = decode_side(codes, current);
                cells_[k][static_cast<std::size_t>(column)] = chars;
            } else {
                std::string& codes = side_text(pair, column, notation);
                codes = encode_side(chars, notation);
                cells_[k][static_cast<std::size_t>(column)] = codes;
            }
        }
    }
    table_.notation = std::string(notation);
    return true;
}

void TableEditor::show_loaded(const std::vector<TableRow>& rows) {
    cells_.clear();
    for (const auto& [from, to] : rows) {
        cells_.push_back({from, to});
    }
    if (cells_.empty()) {
        add();
    }
    count_pairs();
}

}  // namespace glossek
