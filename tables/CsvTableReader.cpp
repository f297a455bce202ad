#include "TableReader.h"

#include "Columns.h"
#include "Csv.h"

#include "FieldLayout.h"
#include "MessageText.h"

#include <set>

namespace tables {
namespace {

void checkHeader(const csv::Row& header, InputTable& table) {
    std::set<std::string> seen;
    for (const std::string& name : header.fields) {
        if (!isColumn(name))
            table.problems.add(problem(header.line, files::printable(name, 40), "unknown column"));
        else if (!seen.insert(name).second)
            table.problems.add(
                problem(header.line, files::printable(name, 40), "the column appears twice"));
    }
    for (const std::string& name : requiredColumns())
        if (!seen.count(name))
            table.problems.add(
                problem(header.line, files::printable(name, 40), "the column is missing"));
}

} // namespace

InputTable readCsvTable(std::string_view text) {
    // The header line and a row for each entry, and then some.
    const csv::Table parsed = csv::read(text, kMaxRows + 1, kMaxColumns + 1);
    InputTable table;
    for (const files::Error& error : parsed.errors)
        table.problems.add(error);
    if (!parsed.complete)
        table.problems.add(problem(0, "",
                                   "the table has more than " + std::to_string(kMaxRows) +
                                       " rows, and no image has more than a few hundred entries"));
    if (parsed.rows.empty()) {
        table.problems.add(problem(0, "", "the file holds no header line"));
        return table;
    }
    const csv::Row& header = parsed.rows.front();
    if (header.fieldCount > kMaxColumns) {
        table.problems.add(problem(header.line, "",
                                   "the header has " + std::to_string(header.fieldCount) +
                                       " columns, more than any table"));
        return table;
    }
    checkHeader(header, table);
    for (std::size_t r = 1; r < parsed.rows.size(); ++r) {
        const csv::Row& row = parsed.rows[r];
        if (row.fieldCount != header.fieldCount) {
            table.problems.add(problem(row.line, "",
                                       "the row has " + std::to_string(row.fieldCount) +
                                           " fields, the header " +
                                           std::to_string(header.fieldCount)));
            continue;
        }
        InputRow input;
        input.line = row.line;
        for (std::size_t f = 0; f < row.fields.size(); ++f)
            input.cells.emplace(header.fields[f],
                                Cell{Cell::Kind::Field, row.fields[f], row.line, header.fields[f]});
        table.rows.push_back(std::move(input));
    }
    return table;
}

} // namespace tables
