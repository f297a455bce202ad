#include "TableReader.h"

#include "Columns.h"
#include "Csv.h"

#include "FieldLayout.h"

#include <set>

namespace tables {
namespace {

void checkHeader(const csv::Row& header, InputTable& table) {
    std::set<std::string> seen;
    for (const std::string& name : header.fields) {
        if (!isRequiredColumn(name))
            table.problems.push_back({header.line, name, "unknown column"});
        else if (!seen.insert(name).second)
            table.problems.push_back({header.line, name, "the column appears twice"});
    }
    for (const std::string& name : requiredColumns())
        if (!seen.count(name))
            table.problems.push_back({header.line, name, "the column is missing"});
}

} // namespace

InputTable readCsvTable(std::string_view text) {
    const csv::Table parsed = csv::read(text);
    InputTable table;
    for (const csv::Error& error : parsed.errors)
        table.problems.push_back({error.line, "", error.message});
    if (parsed.rows.empty()) {
        table.problems.push_back({0, "", "the file holds no header line"});
        return table;
    }
    const csv::Row& header = parsed.rows.front();
    checkHeader(header, table);
    for (std::size_t r = 1; r < parsed.rows.size(); ++r) {
        const csv::Row& row = parsed.rows[r];
        if (row.fields.size() != header.fields.size()) {
            table.problems.push_back({row.line, "",
                                      "the row has " + std::to_string(row.fields.size()) +
                                          " fields, the header " +
                                          std::to_string(header.fields.size())});
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
