#include "TableReader.h"

#include "CsvReader.h"
#include "Json.h"

#include "FieldLayout.h"

#include <set>

namespace cli {
namespace {

bool isRequired(const std::string& name) {
    static const std::set<std::string> required = [] {
        const std::vector<std::string> names = requiredColumns();
        return std::set<std::string>(names.begin(), names.end());
    }();
    return required.count(name) > 0;
}

// The list-text companions that export writes next to each index field.
bool isTextCompanion(const std::string& name) {
    for (const species::FieldDescriptor& field : species::fieldLayout())
        if (field.shown == species::Shown::Index && name == std::string(field.key) + "_text")
            return true;
    return false;
}

void checkHeader(const csv::Row& header, InputTable& table) {
    std::set<std::string> seen;
    for (const std::string& name : header.fields) {
        if (!isRequired(name))
            table.problems.push_back({header.line, name, "unknown column"});
        else if (!seen.insert(name).second)
            table.problems.push_back({header.line, name, "the column appears twice"});
    }
    for (const std::string& name : requiredColumns())
        if (!seen.count(name))
            table.problems.push_back({header.line, name, "the column is missing"});
}

Cell jsonCell(const json::Value& value) {
    Cell cell;
    cell.line = value.line;
    cell.text = value.text;
    if (value.type == json::Value::Type::Number)
        cell.kind = Cell::Kind::Number;
    else if (value.type == json::Value::Type::String)
        cell.kind = Cell::Kind::Text;
    else
        cell.kind = Cell::Kind::Other;
    return cell;
}

void readJsonEntry(const json::Value& entry, InputTable& table) {
    if (entry.type != json::Value::Type::Object) {
        table.problems.push_back({entry.line, "", "an entry must be an object"});
        return;
    }
    InputRow row;
    row.line = entry.line;
    for (const json::Member& found : entry.members) {
        const std::string& name = found.key;
        const json::Value& value = found.value;
        if (!isRequired(name) && !isTextCompanion(name)) {
            table.problems.push_back({value.line, name, "unknown member"});
            continue;
        }
        if (!row.cells.emplace(name, jsonCell(value)).second)
            table.problems.push_back({value.line, name, "the member appears twice"});
    }
    for (const std::string& name : requiredColumns())
        if (!row.cells.count(name))
            table.problems.push_back({entry.line, name, "the member is missing"});
    table.rows.push_back(std::move(row));
}

} // namespace

std::vector<std::string> requiredColumns() {
    std::vector<std::string> names = {"position", "species"};
    for (const species::FieldDescriptor& field : species::fieldLayout())
        names.emplace_back(field.key);
    return names;
}

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
            input.cells.emplace(header.fields[f], Cell{Cell::Kind::Text, row.fields[f], row.line});
        table.rows.push_back(std::move(input));
    }
    return table;
}

InputTable readJsonTable(std::string_view text) {
    InputTable table;
    std::variant<json::Value, json::ParseError> parsed = json::parse(text);
    if (const auto* error = std::get_if<json::ParseError>(&parsed)) {
        table.problems.push_back(
            {error->line, "", error->message + " (column " + std::to_string(error->column) + ")"});
        return table;
    }
    const json::Value& root = std::get<json::Value>(parsed);
    const json::Value* entries = &root;
    if (root.type == json::Value::Type::Object) {
        entries = root.member("entries");
        if (!entries) {
            table.problems.push_back({root.line, "entries", "the member is missing"});
            return table;
        }
    }
    if (entries->type != json::Value::Type::Array) {
        table.problems.push_back({entries->line, "entries", "must be an array of entries"});
        return table;
    }
    for (const json::Value& entry : entries->items)
        readJsonEntry(entry, table);
    return table;
}

} // namespace cli
