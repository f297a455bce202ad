#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads an edited table (CSV or JSON) into rows of named cells, before any value is judged.
namespace cli {

struct Cell {
    enum class Kind { Text, Number, Other };

    Kind kind = Kind::Text;
    std::string text; // a number as written, or a string's contents
    int line = 0;
};

struct InputRow {
    int line = 0;
    std::map<std::string, Cell> cells; // by column name
};

// Something wrong with the input. Line 0 is the file as a whole; `column` may be empty.
struct Problem {
    int line = 0;
    std::string column;
    std::string message;
};

struct InputTable {
    std::vector<InputRow> rows;
    std::vector<Problem> problems;
};

// The names every row must carry: position, species and one column per record field.
[[nodiscard]] std::vector<std::string> requiredColumns();

[[nodiscard]] InputTable readCsvTable(std::string_view text);
// Either an object with an "entries" array, as export writes it, or a bare array of entries.
[[nodiscard]] InputTable readJsonTable(std::string_view text);

} // namespace cli
