#pragma once

#include "base/Error.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated text as spreadsheets write it: an optional UTF-8 byte-order mark, CRLF or
// LF line ends, fields in double quotes with "" for a quote and line breaks inside. A first
// line with semicolons and no comma makes semicolons the separator.
namespace csv {

struct Row {
    int line = 0; // where the row starts, 1-based
    std::vector<std::string> fields;
    std::size_t fieldCount = 0; // how many the row has: more than `fields` when it was cut
};

struct Table {
    std::vector<Row> rows;           // blank lines are skipped
    std::vector<base::Error> errors; // InvalidInput, each with its line
    bool complete = true;            // false when reading stopped after the most rows asked for
};

// Reads at most `maxRows` rows, of which each keeps its first `maxFields` fields.
[[nodiscard]] Table read(std::string_view text, std::size_t maxRows, std::size_t maxFields);

// `field` as a CSV field: quoted where it holds a comma, a quote or a line break.
[[nodiscard]] std::string quote(std::string_view field);

} // namespace csv
