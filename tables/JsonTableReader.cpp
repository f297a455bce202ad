#include "TableReader.h"

#include "Columns.h"

#include <nlohmann/json.hpp>

#include <set>

namespace tables {
namespace {

using Json = nlohmann::ordered_json;

std::string member(const std::string& owner, const std::string& key) {
    return owner.empty() ? key : owner + "." + key;
}

// The library keeps the last of two equal keys without a word; this watches the parse and
// names every member that appears twice.
class DuplicateKeys {
public:
    explicit DuplicateKeys(std::vector<Problem>& problems) : m_problems(problems) {}

    bool operator()(int, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            m_stack.push_back({event == Event::array_start, 0, {}, {}, childName()});
            break;
        case Event::key: {
            Frame& top = m_stack.back();
            top.key = parsed.get<std::string>();
            if (!top.keys.insert(top.key).second)
                m_problems.push_back({0, member(top.name, top.key), "the member appears twice"});
            break;
        }
        case Event::object_end:
        case Event::array_end:
            m_stack.pop_back();
            [[fallthrough]];
        case Event::value:
            if (!m_stack.empty() && m_stack.back().isArray)
                ++m_stack.back().index;
            break;
        }
        return true;
    }

private:
    struct Frame {
        bool isArray;
        std::size_t index;
        std::set<std::string> keys;
        std::string key;
        std::string name;
    };

    [[nodiscard]] std::string childName() const {
        if (m_stack.empty())
            return {};
        const Frame& top = m_stack.back();
        return top.isArray ? top.name + "[" + std::to_string(top.index) + "]"
                           : member(top.name, top.key);
    }

    std::vector<Problem>& m_problems;
    std::vector<Frame> m_stack;
};

// Bytes of a message safe to print: anything but printable ASCII as \xNN.
std::string printable(const std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            safe += c;
        else
            safe += std::string("\\x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
    }
    return safe;
}

// "[json.exception.parse_error.101] parse error at line 3, column 9: syntax error ..." as
// line 3 and the rest.
Problem parseProblem(const Json::parse_error& error) {
    std::string message = error.what();
    int line = 0;
    const std::string at = "at line ";
    if (const std::size_t found = message.find(at); found != std::string::npos)
        line = std::atoi(message.c_str() + found + at.size());
    if (const std::size_t colon = message.find(": "); colon != std::string::npos)
        message.erase(0, colon + 2);
    return {line, "", printable(message)};
}

Cell cellOf(const Json& value, const std::string& name) {
    Cell cell{Cell::Kind::Other, value.dump(), 0, name};
    if (value.is_number_integer())
        cell.kind = Cell::Kind::Integer;
    else if (value.is_string()) {
        cell.kind = Cell::Kind::String;
        cell.text = value.get<std::string>();
    }
    return cell;
}

void readEntry(const Json& entry, const std::string& name, InputTable& table) {
    if (!entry.is_object()) {
        table.problems.push_back({0, name, "an entry must be an object"});
        return;
    }
    InputRow row{0, name, {}};
    for (const auto& [key, value] : entry.items()) {
        if (!isRequiredColumn(key) && !isTextCompanion(key))
            table.problems.push_back({0, member(name, key), "unknown member"});
        else
            row.cells.emplace(key, cellOf(value, member(name, key)));
    }
    for (const std::string& column : requiredColumns())
        if (!row.cells.count(column))
            table.problems.push_back({0, member(name, column), "the member is missing"});
    table.rows.push_back(std::move(row));
}

} // namespace

InputTable readJsonTable(std::string_view text) {
    InputTable table;
    Json root;
    try {
        root = Json::parse(text.begin(), text.end(), DuplicateKeys(table.problems));
    } catch (const Json::parse_error& error) {
        table.problems.push_back(parseProblem(error));
        return table;
    } catch (const Json::exception& error) {
        table.problems.push_back({0, "", printable(error.what())});
        return table;
    }
    const Json* entries = &root;
    std::string name;
    if (root.is_object()) {
        const auto found = root.find("entries");
        if (found == root.end()) {
            table.problems.push_back({0, "entries", "the member is missing"});
            return table;
        }
        entries = &*found;
        name = "entries";
    }
    if (!entries->is_array()) {
        table.problems.push_back(
            {0, name.empty() ? "the table" : name, "must be an array of entries"});
        return table;
    }
    for (std::size_t i = 0; i < entries->size(); ++i)
        readEntry((*entries)[i], name + "[" + std::to_string(i) + "]", table);
    return table;
}

} // namespace tables
