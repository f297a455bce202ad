#pragma once

#include "base/Error.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads an edited table (CSV or JSON) into rows of named cells, before any value is judged.
namespace tables {

// Far beyond any image's table (at most 507 entries, a few dozen columns), and small enough
// that no input, however large or strange, costs much time or memory.
inline constexpr std::size_t kMaxRows = 1000;
// A learnset table has a row for each move of each entry: 20 for each of 507, and some.
inline constexpr std::size_t kMaxLearnsetRows = 12000;
inline constexpr std::size_t kMaxColumns = 256;

struct Cell {
    enum class Kind {
        Field,   // a CSV field: text that may spell a number
        Integer, // a JSON whole number, as written
        String,  // a JSON string
        List,    // a JSON array of strings: `text` holds them, separated by single spaces
        Other,   // anything else JSON holds, as written: a fraction, true, null, an array...
    };

    Kind kind = Kind::Field;
    std::string text; // the number in decimal, or the text
    int line = 0;     // the CSV line; 0 in JSON, which has no useful lines
    std::string name; // what problems call it: "hp" in CSV, "entries[17].hp" in JSON
    std::vector<std::string> items = {}; // a List's strings, each whole
};

struct InputRow {
    int line = 0;
    std::string name;                  // "" in CSV, "entries[17]" in JSON
    std::map<std::string, Cell> cells; // by column name
};

// Something wrong with the input: an InvalidInput error with its line (0: the file as a whole,
// or a JSON table) and the column or JSON member it names, if any. Its path is left for the
// caller, who knows what the user called the table.
[[nodiscard]] base::Error problem(int line, std::string where, std::string reason);

// The problems found, of which only the first few by line are kept: a file of a million bad
// rows costs no more than one of twenty, and tells the user as much.
class ProblemList {
public:
    static constexpr std::size_t kShown = 20;

    // A problem; `more`, if given, makes the rest of its reason, and is called only if the
    // problem is shown: a costly suggestion is worked out for the few problems that are.
    void add(base::Error problem, std::function<std::string()> more = {});

    [[nodiscard]] bool empty() const { return m_count == 0; }
    [[nodiscard]] std::size_t count() const { return m_count; }
    // Up to kShown problems, by line, those of one line in the order they were found.
    [[nodiscard]] std::vector<base::Error> shown() const;

private:
    struct Kept {
        std::size_t order;
        base::Error problem;
        std::function<std::string()> more;
    };
    std::vector<Kept> m_kept;
    std::size_t m_count = 0;
};

struct InputTable {
    std::vector<InputRow> rows;
    ProblemList problems;
};

[[nodiscard]] InputTable readCsvTable(std::string_view text);

// What a CSV file of named columns must hold: its columns, and at most how many rows.
struct CsvShape {
    std::function<bool(const std::string&)> isColumn;
    std::vector<std::string> required;
    std::size_t maxRows = kMaxRows;
    std::string tooManyRows; // why a file of more rows is none of its kind
};
// The rows of a CSV file with a header line, each a cell per column; problems for an unknown,
// missing or repeated column and for rows of another length. `lineOffset` is added to every
// line, for text that starts below the file's first line.
[[nodiscard]] InputTable readCsvRows(std::string_view text, const CsvShape& shape,
                                     int lineOffset = 0);

// A whole number as a cell writes it: its value, and its text for messages, since a number
// too large for a long is still a number, only out of every range.
struct WholeNumber {
    long value;
    std::string text;
};
// The whole decimal number in `cell`; an error's reason says why it holds none.
[[nodiscard]] base::Result<WholeNumber> wholeNumber(const Cell& cell);
// What a file of changes holds, as its first bytes tell: a table of entries (import reads
// it), a patch (apply reads it), or neither.
enum class FileKind { Table, Patch, Unknown };
[[nodiscard]] FileKind kindOf(std::string_view text);
// Whether `text` starts as JSON does, with an object or an array.
[[nodiscard]] bool startsLikeJson(std::string_view text);

// Either an object with an "entries" array, as export writes it, or a bare array of entries.
// Only valid UTF-8 is read, and only whole numbers count as numbers.
[[nodiscard]] InputTable readJsonTable(std::string_view text);

} // namespace tables
