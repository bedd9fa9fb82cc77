// SPDX-License-Identifier: MIT
// load_table_file on arbitrary files: refused with one of its errors or loaded whole, and
// a loaded table saved in either code notation reads back the same (unless it has grown
// past the size a table file may have).
#include <cstdint>
#include <string>
#include <vector>

#include "files/text_file.h"
#include "fuzz_support.h"
#include "table/table_file.h"

namespace {

using glossek::fuzz::check;

bool loads(const std::string& name, glossek::ConversionTable& table,
           std::vector<glossek::TableRow>& rows) {
    glossek::TextLineFile file;
    try {
        rows = glossek::load_table_file(name, file, table);
        return true;
    } catch (const glossek::TextIoError&) {
    } catch (const glossek::CodeTextError&) {
    } catch (const glossek::TableFileError&) {
    }
    check(!file.is_open(), "table file left open after a refusal");
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const glossek::fuzz::ScratchFile input("table.glk");
    static const glossek::fuzz::ScratchFile saved("saved.glk");
    input.write({reinterpret_cast<const char*>(data), size});

    glossek::ConversionTable table;
    table.pair_count = 7;
    std::vector<glossek::TableRow> rows;
    if (!loads(input.name(), table, rows)) {
        check(table.pair_count == 7 && table.pairs.empty(), "a refused file changed the table");
        return 0;
    }
    check(glossek::is_notation(table.notation), "loaded without a notation");
    check(rows.size() == table.pair_count, "rows and pair count differ");
    check(table.pairs.size() == rows.size(), "table and rows differ");

    for (const char* notation : {"HEXA", "DECI"}) {
        std::vector<glossek::TableRow> coded;
        for (const auto& pair : table.pairs) {
            coded.emplace_back(glossek::encode_side(pair.char_from, notation),
                               glossek::encode_side(pair.char_to, notation));
        }
        glossek::TextLineFile file;
        try {
            glossek::save_table_file(file, saved.name(), notation, coded);
        } catch (const glossek::TableFileError& error) {
            // In codes a table takes up to four times its room in characters.
            check(error.reason() == glossek::TableFileError::Reason::TooLarge,
                  "a table of codes made from a loaded table is refused");
            continue;
        }
        glossek::ConversionTable back;
        std::vector<glossek::TableRow> back_rows;
        check(loads(saved.name(), back, back_rows), "a saved table is refused");
        check(back_rows == coded && back.notation == notation, "saved rows read back changed");
        for (std::size_t k = 0; k < rows.size(); ++k) {
            check(back.pairs[k].char_from == table.pairs[k].char_from &&
                      back.pairs[k].char_to == table.pairs[k].char_to,
                  "a saved pair read back changed");
        }
    }
    return 0;
}
