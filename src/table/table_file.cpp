#include "table/table_file.h"

#include "conversion/job.h"
#include "conversion/text_file.h"

namespace glossek {

namespace {

std::string refusal_message(TableFileError::Reason reason, const std::string& file) {
    if (reason == TableFileError::Reason::NotAKeyword) {
        return file + ": not a conversion table (its first line must be CHAR, HEXA or DECI)";
    }
    return file +
           ": a side holds a line-end or end-of-file byte (13 or 26) that a table in "
           "characters cannot keep; save it with codes in hexadecimal or decimal";
}

bool unsafe_in_char(const std::string& side) {
    return side.find_first_of("\x0D\x1A") != std::string::npos;
}

}  // namespace

TableFileError::TableFileError(Reason reason, std::string file)
    : std::runtime_error(refusal_message(reason, file)), reason_(reason), file_(std::move(file)) {}

std::vector<TableRow> load_table_file(ConversionJob& job, ConversionTable& table) {
    TextLineFile& file = job.TableFile;
    file.open_read(job.TableName);
    CloseOnExit guard(file);

    std::string notation;
    std::vector<t_rpl> pairs;
    std::string line;
    long long n = 0;
    while (!file.at_end()) {
        file.read_line(line);
        ++n;
        if (n == 1) {
            if (!is_notation(line)) {
                throw TableFileError(TableFileError::Reason::NotAKeyword, job.TableName);
            }
            notation = line;
            continue;
        }
        std::string side = line.size() > 2 ? line.substr(2) : std::string();
        std::string chars = decode_side(side, notation);
        if (n % 2 == 0) {
            t_rpl pair;
            pair.char_from = std::move(chars);
            if (notation == kNotationHexa) {
                pair.hexa_from = side;
            } else if (notation == kNotationDeci) {
                pair.deci_from = side;
            }
            pairs.push_back(std::move(pair));
        } else {
            t_rpl& pair = pairs.back();
            pair.char_to = std::move(chars);
            if (notation == kNotationHexa) {
                pair.hexa_to = side;
            } else if (notation == kNotationDeci) {
                pair.deci_to = side;
            }
        }
    }
    file.close();
    if (n == 0) {
        // An empty file names no notation.
        throw TableFileError(TableFileError::Reason::NotAKeyword, job.TableName);
    }

    // A "To be converted" line without its "Replaced by" line is not a pair.
    const std::size_t complete = static_cast<std::size_t>((n - 1) / 2);
    pairs.resize(complete);

    std::vector<TableRow> rows;
    rows.reserve(complete);
    for (std::size_t k = 0; k < complete; ++k) {
        t_rpl& record = table.record(k + 1);
        t_rpl& read = pairs[k];
        record.char_from = std::move(read.char_from);
        record.char_to = std::move(read.char_to);
        if (notation == kNotationHexa) {
            record.hexa_from = std::move(read.hexa_from);
            record.hexa_to = std::move(read.hexa_to);
            rows.emplace_back(record.hexa_from, record.hexa_to);
        } else if (notation == kNotationDeci) {
            record.deci_from = std::move(read.deci_from);
            record.deci_to = std::move(read.deci_to);
            rows.emplace_back(record.deci_from, record.deci_to);
        } else {
            rows.emplace_back(record.char_from, record.char_to);
        }
    }
    job.Notation = notation;
    job.PairCount = static_cast<std::int32_t>(complete);
    return rows;
}

void save_table_file(TextLineFile& file, const std::string& name, const std::string& notation,
                     const std::vector<TableRow>& rows) {
    if (notation == kNotationChar) {
        for (const auto& [from, to] : rows) {
            if (unsafe_in_char(from) || unsafe_in_char(to)) {
                throw TableFileError(TableFileError::Reason::UnsafeCharSide, name);
            }
        }
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
