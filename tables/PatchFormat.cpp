#include "PatchFormat.h"

#include "Csv.h"

#include "Text.h"
#include "Vocabulary.h"

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
        species::PatchChange change;
        const std::optional<int> position = number(row, "position", species::kAllEntries - 1);
        const std::optional<species::Field> field = fieldOf(row);
        std::optional<int> from, to;
        if (field) {
            const int largest = (1 << species::descriptor(*field).bits) - 1;
            from = number(row, "from", largest);
            to = number(row, "to", largest);
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
        m_input.patch.changes.push_back({*position, *name, *field, *from, *to});
    }

    // The changes by position, then field, as the patch applies them.
    void finish() {
        std::stable_sort(m_input.patch.changes.begin(), m_input.patch.changes.end(),
                         [](const species::PatchChange& a, const species::PatchChange& b) {
                             return a.position != b.position ? a.position < b.position
                                                             : a.field < b.field;
                         });
    }

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
        const std::string expected = vocabulary::entryName(position);
        if (base::trimmed(cell->text) == base::trimmed(expected))
            return expected;
        problem(cell->line, cell->name,
                base::quoted(cell->text) + " does not stand at position " +
                    std::to_string(position) + ", \"" + expected + "\" does");
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

using Json = nlohmann::json;

// A value of a JSON change as a cell, numbers as they were written.
Cell cellOf(const Json& value, const std::string& name) {
    if (value.is_number_integer())
        return {Cell::Kind::Integer, value.dump(), 0, name};
    if (value.is_string())
        return {Cell::Kind::String, value.get<std::string>(), 0, name};
    return {Cell::Kind::Other,
            value.is_structured() ? "a " + std::string(value.type_name()) : value.dump(), 0, name};
}

// Stops the parser once the input is shaped as no patch can be.
struct Refused {
    std::string reason;
};

Json parseBounded(std::string_view text) {
    std::size_t values = 0;
    std::vector<std::set<std::string>> keys;
    const Json::parser_callback_t watch = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth > kMaxDepth)
            throw Refused{"the values nest more than " + std::to_string(kMaxDepth) +
                          " levels deep, deeper than any patch"};
        if (++values > kMaxValues)
            throw Refused{"the file holds more than " + std::to_string(kMaxValues) +
                          " values, far more than any patch"};
        if (event == Json::parse_event_t::object_start)
            keys.emplace_back();
        else if (event == Json::parse_event_t::object_end && !keys.empty())
            keys.pop_back();
        else if (event == Json::parse_event_t::key && !keys.empty() &&
                 !keys.back().insert(parsed.get<std::string>()).second)
            throw Refused{"the member " + base::quoted(parsed.get<std::string>()) +
                          " appears twice in one object"};
        return true;
    };
    return Json::parse(text.begin(), text.end(), watch);
}

void readJsonHeader(const Json& root, PatchInput& input) {
    const auto wrong = [&](const std::string& where, const std::string& reason) {
        input.problems.add(problem(0, where, reason));
    };
    for (const auto& [key, value] : root.items())
        if (key != "format" && key != "version" && key != "from" && key != "changes")
            wrong(base::printable(key, 40), "unknown member");
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || *format != kFormatName)
        wrong("format", "must be \"" + std::string(kFormatName) + "\"");
    const auto version = root.find("version");
    if (version == root.end() || !version->is_number_integer())
        wrong("version", "must be the format's version, " + std::to_string(kPatchVersion));
    else if (*version != kPatchVersion)
        wrong("version", unknownVersion(version->dump()));
    const auto from = root.find("from");
    if (from == root.end() || !from->is_object() || !from->contains("code") ||
        !(*from)["code"].is_string() ||
        (from->contains("title") && !(*from)["title"].is_string())) {
        wrong("from", "must name the image's code and title, as {\"code\": \"ADAE\", \"title\": "
                      "\"Pokémon Diamond\"}");
        return;
    }
    input.patch.code = (*from)["code"].get<std::string>();
    input.patch.title = from->value("title", "");
    if (!nds::findEdition(input.patch.code))
        wrong("from.code", "unknown game code " + base::quoted(input.patch.code));
    if (base::printable(input.patch.title) != input.patch.title)
        wrong("from.title", kUnprintableTitle);
}

} // namespace

std::string patchToCsv(const species::Patch& patch) {
    std::string text = firstLine(patch) + "\n";
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        text += (i ? "," : "") + kColumns[i];
    text += "\n";
    for (const species::PatchChange& change : patch.changes)
        text += std::to_string(change.position) + "," + csv::quote(change.species) + "," +
                fieldName(change.field) + "," + std::to_string(change.from) + "," +
                std::to_string(change.to) + "\n";
    return text;
}

std::string patchToJson(const species::Patch& patch) {
    using Ordered = nlohmann::ordered_json;
    Ordered changes = Ordered::array();
    for (const species::PatchChange& change : patch.changes)
        changes.push_back({{"position", change.position},
                           {"species", change.species},
                           {"field", fieldName(change.field)},
                           {"from", change.from},
                           {"to", change.to}});
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
    Json root;
    try {
        root = parseBounded(text);
    } catch (const Refused& refused) {
        input.problems.add(problem(0, "", refused.reason));
        return input;
    } catch (const Json::exception& error) { // a syntax error, or a number beyond every range
        // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error..."
        std::string message = error.what();
        if (const std::size_t tag = message.find("] ");
            message.starts_with('[') && tag != std::string::npos)
            message.erase(0, tag + 2);
        if (const std::size_t colon = message.find(": ");
            message.starts_with("parse error") && colon != std::string::npos)
            message.erase(0, colon + 2);
        input.problems.add(problem(0, "", base::printable(message, 200)));
        return input;
    }
    if (!root.is_object()) {
        input.problems.add(problem(0, "the patch", "must be an object"));
        return input;
    }
    readJsonHeader(root, input);
    const auto changes = root.find("changes");
    if (changes == root.end() || !changes->is_array()) {
        input.problems.add(problem(0, "changes", "must be an array of changes"));
        return input;
    }
    if (!input.problems.empty())
        return input;
    ChangeReader reader(input);
    for (std::size_t i = 0; i < changes->size(); ++i) {
        const Json& change = (*changes)[i];
        InputRow row{0, "changes[" + std::to_string(i) + "]", {}};
        if (!change.is_object()) {
            input.problems.add(problem(0, row.name, "a change must be an object"));
            continue;
        }
        bool known = true;
        for (const auto& [key, value] : change.items()) {
            if (std::find(kColumns.begin(), kColumns.end(), key) == kColumns.end()) {
                input.problems.add(
                    problem(0, row.name + "." + base::printable(key, 40), "unknown member"));
                known = false;
                continue;
            }
            row.cells.emplace(key, cellOf(value, row.name + "." + key));
        }
        if (known)
            reader.row(row);
    }
    reader.finish();
    return input;
}

} // namespace tables
