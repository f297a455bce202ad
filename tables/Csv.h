#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma-separated text as spreadsheets write it: an optional UTF-8 byte-order mark, CRLF or
// LF line ends, fields in double quotes with "" for a quote and line breaks inside.
namespace csv {

struct Row {
    int line = 0; // where the row starts, 1-based
    std::vector<std::string> fields;
};

struct Error {
    int line = 0;
    std::string message;
};

struct Table {
    std::vector<Row> rows; // blank lines are skipped
    std::vector<Error> errors;
};

[[nodiscard]] Table read(std::string_view text);

// `field` as a CSV field: quoted where it holds a comma, a quote or a line break.
[[nodiscard]] std::string quote(std::string_view field);

} // namespace csv
