#include "TableReader.h"

#include "Columns.h"
#include "JsonRows.h"

namespace tables {

InputTable readJsonTable(std::string_view text) {
    // A table nests four levels deep: the root object, its entries, an entry, and a list value.
    static const JsonShape shape = [] {
        JsonShape table;
        table.kind = "table";
        table.rowsMember = "entries";
        table.rowKind = "an entry";
        table.bareArray = true;
        table.rootProblem = "must be an array of entries";
        table.rowsProblem = "must be an array of entries";
        table.rowsMissing = "the member is missing";
        table.isRowMember = [](const std::string& key) {
            return isColumn(key) || isTextCompanion(key);
        };
        const std::span<const std::string> required = requiredColumns();
        table.requiredRowMembers.assign(required.begin(), required.end());
        table.maxDepth = 6;
        table.maxValues = 300000; // every value of the largest table, many times over
        table.maxRows = kMaxRows;
        table.tooManyRows = "the table has more than " + std::to_string(kMaxRows) +
                            " entries, and no image has more than a few hundred";
        return table;
    }();
    return readJsonRows(text, shape).table;
}

} // namespace tables
