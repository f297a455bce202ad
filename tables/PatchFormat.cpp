#include "PatchFormat.h"

#include "Csv.h"
#include "JsonRows.h"

#include "base/Text.h"
#include "species/RecordKinds.h"
#include "species/Vocabulary.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <set>

namespace tables {
namespace {

constexpr std::string_view kFormatName = "statwright-patch";
constexpr std::string_view kFirstLine = "# statwright patch ";
const std::vector<std::string> kColumns = {"position", "species", "field", "from", "to"};
constexpr const char* kUnprintableTitle =
    "the image's title holds what is not printable UTF-8 text";

// A patch nests three levels deep: the root object, its changes and a change.
constexpr int kMaxDepth = 4;
// Every value of the largest patch, and then some.
constexpr std::size_t kMaxValues = species::kMaxPatchChanges * 8;

std::string tooManyChanges() {
    return "the patch has more than " + std::to_string(species::kMaxPatchChanges) +
           " changes, more than every field of every entry";
}

// `version`: as the patch writes it.
std::string unknownVersion(const std::string& version) {
    return "version " + version + " of the patch format is not known: this program reads version " +
           std::to_string(kPatchVersion);
}

std::string firstLine(const species::Patch& patch) {
    return std::string(kFirstLine) + std::to_string(kPatchVersion) + ", from " + patch.code + " " +
           patch.title;
}

std::string fieldName(species::Field field) {
    return std::string(species::descriptor(field).key);
}

// Turns the rows of a patch, from either format, into its changes, and says what is wrong.
class ChangeReader {
public:
    explicit ChangeReader(PatchInput& input) : m_input(input) {}

    void row(const InputRow& row) {
        if (m_input.patch.changes.size() == species::kMaxPatchChanges) {
            if (!m_tooMany)
                problem(row.line, row.name, tooManyChanges());
            m_tooMany = true;
            return;
        }
        const std::optional<int> position = number(row, "position", species::kAllEntries - 1);
        const std::optional<species::Field> field = fieldOf(row);
        std::optional<species::Value> from, to;
        if (field) {
            from = value(row, "from", *field);
            to = value(row, "to", *field);
        }
        const std::optional<std::string> name = position ? speciesAt(row, *position) : std::nullopt;
        if (!position || !field || !from || !to || !name)
            return;
        const auto [earlier, fresh] = m_seen.emplace(std::pair(*position, *field), &row);
        if (!fresh) {
            const InputRow& first = *earlier->second;
            problem(row.line, row.name,
                    "changes " + fieldName(*field) + " of " + *name + " again, as " +
                        (first.line > 0 ? "line " + std::to_string(first.line) : first.name) +
                        " does already");
            return;
        }
        m_input.patch.changes.push_back({*position, *field, *from, *to});
    }

    // The changes by position, then field, as the patch applies them.
    void finish() { species::sortChanges(m_input.patch.changes); }

private:
    void problem(int line, const std::string& where, std::string reason) {
        m_input.problems.add(tables::problem(line, where, std::move(reason)));
    }

    const Cell* cellOf(const InputRow& row, const std::string& column) {
        const auto found = row.cells.find(column);
        if (found != row.cells.end())
            return &found->second;
        if (!row.name.empty()) // a JSON change; a CSV header lacking the column is said already
            problem(0, row.name + "." + column, "the member is missing");
        return nullptr;
    }

    std::optional<int> number(const InputRow& row, const std::string& column, int largest) {
        const Cell* cell = cellOf(row, column);
        if (!cell)
            return std::nullopt;
        const base::Result<WholeNumber> value = wholeNumber(*cell);
        if (!value.ok()) {
            m_input.problems.add(value.error());
            return std::nullopt;
        }
        if (value.value().value < 0 || value.value().value > largest) {
            problem(cell->line, cell->name,
                    value.value().text + " is not between 0 and " + std::to_string(largest));
            return std::nullopt;
        }
        return static_cast<int>(value.value().value);
    }

    // The value of `field` in `column`: a number in its range, or a list in words.
    std::optional<species::Value> value(const InputRow& row, const std::string& column,
                                        species::Field field) {
        if (!species::descriptor(field).isList()) {
            const std::optional<int> value =
                number(row, column, (1 << species::descriptor(field).bits) - 1);
            return value ? std::optional(species::Value(*value)) : std::nullopt;
        }
        const Cell* cell = textCell(row, column);
        if (!cell)
            return std::nullopt;
        base::Result<species::Value> list = species::recordKindOf(field).parseList(cell->text);
        if (!list.ok()) {
            problem(cell->line, cell->name, list.error().reason);
            return std::nullopt;
        }
        return std::move(list.value());
    }

    const Cell* textCell(const InputRow& row, const std::string& column) {
        const Cell* cell = cellOf(row, column);
        if (cell && cell->kind != Cell::Kind::Field && cell->kind != Cell::Kind::String) {
            problem(cell->line, cell->name, "must be a string");
            return nullptr;
        }
        return cell;
    }

    std::optional<species::Field> fieldOf(const InputRow& row) {
        const Cell* cell = textCell(row, "field");
        if (!cell)
            return std::nullopt;
        const std::string name(base::trimmed(cell->text));
        if (const std::optional<species::Field> field = species::patchField(name))
            return field;
        problem(cell->line, cell->name,
                name == "tm_hm" ? std::string("a patch names each flag, tm01 to tm92 and hm01 to "
                                              "hm08, not tm_hm")
                                : base::quoted(cell->text) + " is no field of the table");
        return std::nullopt;
    }

    // The species list's name of `position`, if the row names that entry.
    std::optional<std::string> speciesAt(const InputRow& row, int position) {
        const Cell* cell = textCell(row, "species");
        if (!cell)
            return std::nullopt;
        const std::optional<std::string> wrong = species::misnamed(position, cell->text);
        if (!wrong)
            return vocabulary::entryName(position);
        problem(cell->line, cell->name, *wrong);
        return std::nullopt;
    }

    PatchInput& m_input;
    std::map<std::pair<int, species::Field>, const InputRow*> m_seen;
    bool m_tooMany = false;
};

// "# statwright patch 1, from ADAE Pokémon Diamond": the version, code and title, or why not.
bool readFirstLine(std::string_view line, PatchInput& input) {
    const auto refuse = [&](std::string reason) {
        input.problems.add(problem(1, "", std::move(reason)));
        return false;
    };
    const std::string expected =
        "the first line must be \"" + std::string(kFirstLine) + "1, from CODE TITLE\"";
    if (!line.starts_with(kFirstLine))
        return refuse(expected);
    line.remove_prefix(kFirstLine.size());
    const std::size_t comma = line.find(", from ");
    const std::string version(line.substr(0, comma));
    if (comma == std::string_view::npos || version.empty() ||
        version.find_first_not_of("0123456789") != std::string::npos)
        return refuse(expected);
    if (version != std::to_string(kPatchVersion))
        return refuse(unknownVersion(base::printable(version, 40)));
    line.remove_prefix(comma + std::string_view(", from ").size());
    const std::size_t space = line.find(' ');
    input.patch.code = std::string(line.substr(0, space));
    input.patch.title = space == std::string_view::npos ? "" : std::string(line.substr(space + 1));
    if (!nds::findEdition(input.patch.code))
        return refuse("unknown game code " + base::quoted(input.patch.code));
    if (base::printable(input.patch.title) != input.patch.title)
        return refuse(kUnprintableTitle);
    return true;
}

bool isHeaderMember(const std::string& key) {
    return key == "format" || key == "version" || key == "from" || key == "changes";
}

// A patch nests three levels deep: the root object, its changes and a change.
const JsonShape& patchShape() {
    static const JsonShape shape = [] {
        JsonShape patch;
        patch.kind = "patch";
        patch.rowsMember = "changes";
        patch.rowKind = "a change";
        patch.rootProblem = "must be an object";
        patch.rowsProblem = "must be an array of changes";
        patch.rowsMissing = "must be an array of changes";
        patch.isRowMember = [](const std::string& key) {
            return std::find(kColumns.begin(), kColumns.end(), key) != kColumns.end();
        };
        patch.isRootMember = isHeaderMember;
        patch.maxDepth = kMaxDepth;
        patch.maxValues = kMaxValues;
        patch.maxRows = species::kMaxPatchChanges;
        patch.tooManyRows = tooManyChanges();
        return patch;
    }();
    return shape;
}

// The root's format, version and image, as problems where they are not as a patch has them.
void readJsonHeader(const JsonRows& rows, PatchInput& input) {
    const auto wrong = [&](const std::string& where, const std::string& reason) {
        input.problems.add(problem(0, where, reason));
    };
    const auto cell = [&](const std::string& key) -> const Cell* {
        const auto found = rows.rootCells.find(key);
        return found == rows.rootCells.end() ? nullptr : &found->second;
    };
    const Cell* format = cell("format");
    if (!format || format->kind != Cell::Kind::String || format->text != kFormatName)
        wrong("format", "must be \"" + std::string(kFormatName) + "\"");
    const Cell* version = cell("version");
    if (!version || version->kind != Cell::Kind::Integer)
        wrong("version", "must be the format's version, " + std::to_string(kPatchVersion));
    else if (version->text != std::to_string(kPatchVersion))
        wrong("version", unknownVersion(base::printable(version->text, 40)));
    const Cell* code = cell("from.code");
    const Cell* title = cell("from.title");
    if (!rows.rootObjects.count("from") || !code || code->kind != Cell::Kind::String ||
        (title && title->kind != Cell::Kind::String)) {
        wrong("from", "must name the image's code and title, as {\"code\": \"ADAE\", \"title\": "
                      "\"Pokémon Diamond\"}");
        return;
    }
    input.patch.code = code->text;
    input.patch.title = title ? title->text : "";
    if (!nds::findEdition(input.patch.code))
        wrong("from.code", "unknown game code " + base::quoted(input.patch.code));
    if (base::printable(input.patch.title) != input.patch.title)
        wrong("from.title", kUnprintableTitle);
}

// A value as a patch writes it: a number, or a list in words.
std::string valueText(species::Field field, const species::Value& value) {
    return value.isList() ? species::recordKindOf(field).listText(value)
                          : std::to_string(value.number());
}

} // namespace

std::string patchToCsv(const species::Patch& patch) {
    std::string text = firstLine(patch) + "\n";
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        text += (i ? "," : "") + kColumns[i];
    text += "\n";
    for (const species::Change& change : patch.changes)
        text += std::to_string(change.position) + "," +
                csv::quote(vocabulary::entryName(change.position)) + "," + fieldName(change.field) +
                "," + csv::quote(valueText(change.field, change.before)) + "," +
                csv::quote(valueText(change.field, change.after)) + "\n";
    return text;
}

std::string patchToJson(const species::Patch& patch) {
    using Ordered = nlohmann::ordered_json;
    Ordered changes = Ordered::array();
    const auto value = [](species::Field field, const species::Value& value) {
        return value.isList() ? Ordered(valueText(field, value)) : Ordered(value.number());
    };
    for (const species::Change& change : patch.changes)
        changes.push_back({{"position", change.position},
                           {"species", vocabulary::entryName(change.position)},
                           {"field", fieldName(change.field)},
                           {"from", value(change.field, change.before)},
                           {"to", value(change.field, change.after)}});
    Ordered root = {{"format", kFormatName},
                    {"version", kPatchVersion},
                    {"from", {{"code", patch.code}, {"title", patch.title}}},
                    {"changes", std::move(changes)}};
    return root.dump(2) + "\n";
}

PatchInput readCsvPatch(std::string_view text) {
    PatchInput input;
    text = base::withoutByteOrderMark(text);
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (!readFirstLine(line, input))
        return input;
    const std::string_view rest = end == std::string_view::npos ? "" : text.substr(end + 1);
    const InputTable table =
        readCsvRows(rest,
                    {[](const std::string& name) {
                         return std::find(kColumns.begin(), kColumns.end(), name) != kColumns.end();
                     },
                     kColumns, species::kMaxPatchChanges, tooManyChanges()},
                    1);
    input.problems = table.problems; // the first line had none
    ChangeReader reader(input);
    if (table.problems.empty())
        for (const InputRow& row : table.rows)
            reader.row(row);
    reader.finish();
    return input;
}

PatchInput readJsonPatch(std::string_view text) {
    PatchInput input;
    const JsonRows rows = readJsonRows(text, patchShape());
    input.problems = rows.table.problems;
    if (!input.problems.empty())
        return input;
    readJsonHeader(rows, input);
    if (!input.problems.empty())
        return input;
    ChangeReader reader(input);
    for (const InputRow& row : rows.table.rows)
        reader.row(row);
    reader.finish();
    return input;
}

} // namespace tables
