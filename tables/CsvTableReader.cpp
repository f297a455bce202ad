#include "TableReader.h"

#include "Columns.h"
#include "Csv.h"

#include "base/Text.h"
#include "species/FieldLayout.h"

#include <charconv>
#include <limits>
#include <set>

namespace tables {
namespace {

void checkHeader(const csv::Row& header, const CsvShape& shape, InputTable& table) {
    std::set<std::string> seen;
    for (const std::string& name : header.fields) {
        if (!shape.isColumn(name))
            table.problems.add(problem(header.line, base::printable(name, 40), "unknown column"));
        else if (!seen.insert(name).second)
            table.problems.add(
                problem(header.line, base::printable(name, 40), "the column appears twice"));
    }
    for (const std::string& name : shape.required)
        if (!seen.count(name))
            table.problems.add(
                problem(header.line, base::printable(name, 40), "the column is missing"));
}

} // namespace

base::Result<WholeNumber> wholeNumber(const Cell& cell) {
    const auto none = [&](const std::string& reason) {
        return problem(cell.line, cell.name, reason);
    };
    if (cell.kind == Cell::Kind::String)
        return none("must be a number, not the string " + base::quoted(cell.text));
    if (cell.kind == Cell::Kind::Other)
        return none(base::printable(cell.text, 40) + " is not a whole number");
    const std::string text(base::trimmed(cell.text));
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size() || text.front() == '+' ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        return none(base::quoted(cell.text) + " is not a whole number");
    if (error == std::errc::result_out_of_range)
        value = text.front() == '-' ? std::numeric_limits<long>::min()
                                    : std::numeric_limits<long>::max();
    return WholeNumber{value, text};
}

InputTable readCsvRows(std::string_view text, const CsvShape& shape, int lineOffset) {
    // The header line and the most rows, and then one more to notice a longer file.
    const csv::Table parsed = csv::read(text, shape.maxRows + 1, kMaxColumns + 1);
    InputTable table;
    for (base::Error error : parsed.errors) {
        error.line += lineOffset;
        table.problems.add(error);
    }
    if (!parsed.complete)
        table.problems.add(problem(0, "", shape.tooManyRows));
    if (parsed.rows.empty()) {
        table.problems.add(problem(0, "", "the file holds no header line"));
        return table;
    }
    const csv::Row& header = parsed.rows.front();
    const int headerLine = header.line + lineOffset;
    if (header.fieldCount > kMaxColumns) {
        table.problems.add(problem(headerLine, "",
                                   "the header has " + std::to_string(header.fieldCount) +
                                       " columns, more than any table"));
        return table;
    }
    // Column names are read without regard to case: "HP" is hp.
    csv::Row shifted = header;
    shifted.line = headerLine;
    for (std::string& name : shifted.fields)
        for (char& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    checkHeader(shifted, shape, table);
    for (std::size_t r = 1; r < parsed.rows.size(); ++r) {
        const csv::Row& row = parsed.rows[r];
        const int line = row.line + lineOffset;
        if (row.fieldCount != header.fieldCount) {
            table.problems.add(problem(line, "",
                                       "the row has " + std::to_string(row.fieldCount) +
                                           " fields, the header " +
                                           std::to_string(header.fieldCount)));
            continue;
        }
        InputRow input;
        input.line = line;
        for (std::size_t f = 0; f < row.fields.size(); ++f)
            input.cells.emplace(shifted.fields[f],
                                Cell{Cell::Kind::Field, row.fields[f], line, shifted.fields[f]});
        table.rows.push_back(std::move(input));
    }
    return table;
}

InputTable readCsvTable(std::string_view text) {
    const std::span<const std::string> required = requiredColumns();
    // A table of moves has a row for each move: many more rows than entries.
    const csv::Table header = csv::read(text, 1, kMaxColumns);
    std::vector<std::string> names =
        header.rows.empty() ? std::vector<std::string>() : header.rows.front().fields;
    for (std::string& name : names)
        for (char& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    const bool moves = isMoveListHeader(names);
    const std::size_t most = moves ? kMaxLearnsetRows : kMaxRows;
    return readCsvRows(text, {isColumn,
                              {required.begin(), required.end()},
                              most,
                              "the table has more than " + std::to_string(most) + " rows, " +
                                  (moves ? "more than 20 moves for every entry"
                                         : "and no image has more than a few hundred "
                                           "entries")});
}

} // namespace tables
