#pragma once

#include "TableReader.h"

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

// The one way JSON is read, tables and patches alike: from the parser's events, without a
// document in memory, into rows of named cells and the root's other members, with the input's
// shape checked as it goes (members twice, nesting, size), so that no input costs more than a
// real file would.
namespace tables {

// What a JSON file of rows must look like.
struct JsonShape {
    std::string_view kind;       // what messages call the file: "table", "patch"
    std::string_view rowsMember; // the root's member that holds the rows: "entries", "changes"
    std::string_view rowKind;    // what messages call a row: "an entry", "a change"
    bool bareArray = false;      // whether a root array is the rows themselves
    std::string rootProblem;     // what the root must be, said when it is not an object
    std::string rowsProblem;     // what the rows member must be, said when it is not an array
    std::string rowsMissing;     // said when the root object lacks the rows member
    std::function<bool(const std::string&)> isRowMember;
    std::function<bool(const std::string&)> isRootMember; // none: the root may hold anything
    std::vector<std::string> requiredRowMembers;
    std::size_t maxDepth = 0;
    std::size_t maxValues = 0;
    std::size_t maxRows = 0;
    std::string tooManyRows;
};

// A JSON file read as rows: the rows and every problem found, and the root's members other than
// the rows (scalars as cells, "from.code" for a member of an object), and which of them are
// objects.
struct JsonRows {
    InputTable table;
    std::map<std::string, Cell> rootCells;
    std::set<std::string> rootObjects;
};

// Reads `text` as `shape` says. Only valid UTF-8 is read; numbers keep the text they were
// written with, and only whole ones count as numbers.
[[nodiscard]] JsonRows readJsonRows(std::string_view text, const JsonShape& shape);

} // namespace tables
