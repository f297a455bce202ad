#include "TableReader.h"

#include "Columns.h"

#include "Text.h"

#include <nlohmann/json.hpp>

#include <set>

namespace tables {
namespace {

using Json = nlohmann::json;

// A table nests four levels deep: the root object, its entries, an entry, and a list value.
constexpr std::size_t kMaxDepth = 6;
// Every value of the largest table, many times over.
constexpr std::size_t kMaxValues = 300000;
constexpr std::size_t kMessageLimit = 200;

std::string member(const std::string& owner, const std::string& key) {
    return owner.empty() ? key : owner + "." + key;
}

// "[json.exception.parse_error.101] parse error at line 3, column 9: syntax error ..." as
// line 3 and the rest.
base::Error parseProblem(const std::string& what) {
    std::string message = what;
    int line = 0;
    const std::string at = "at line ";
    if (const std::size_t found = message.find(at); found != std::string::npos)
        line = std::atoi(message.c_str() + found + at.size());
    if (const std::size_t colon = message.find(": "); colon != std::string::npos)
        message.erase(0, colon + 2);
    return problem(line, "", base::printable(message, kMessageLimit));
}

// Builds the rows straight from the parser's events, without a document in memory: each
// entry's members become cells, numbers keep the text they were written with, and the
// input's shape is checked as it goes (members twice, nesting, size), so that no input costs
// more than a table would.
class TableBuilder final : public nlohmann::json_sax<Json> {
public:
    explicit TableBuilder(InputTable& table) : m_table(table) {}

    bool null() override { return value(Cell::Kind::Other, "null"); }
    bool boolean(bool value) override {
        return this->value(Cell::Kind::Other, value ? "true" : "false");
    }
    bool number_integer(number_integer_t n) override {
        return value(Cell::Kind::Integer, std::to_string(n));
    }
    bool number_unsigned(number_unsigned_t n) override {
        return value(Cell::Kind::Integer, std::to_string(n));
    }
    // A whole number too large for the parser still is one: its range is judged later.
    bool number_float(number_float_t, const string_t& text) override {
        const bool whole =
            !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
        return value(whole ? Cell::Kind::Integer : Cell::Kind::Other, text);
    }
    bool string(string_t& text) override { return value(Cell::Kind::String, text); }
    bool binary(binary_t&) override { return value(Cell::Kind::Other, "binary data"); }

    bool start_object(std::size_t) override { return open(false); }
    bool start_array(std::size_t) override { return open(true); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool key(string_t& key) override {
        Frame& top = m_stack.back();
        top.key = key;
        if (!top.keys.insert(key).second)
            problem(member(top.name, key), "the member appears twice");
        return true;
    }

    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override {
        m_table.problems.add(parseProblem(error.what()));
        return false;
    }

    // Says what the whole input lacked, once it is read.
    void finish() {
        if (m_root == Root::None)
            problem("the table", "must be an array of entries");
        else if (m_root == Root::Object && !m_sawEntries)
            problem("entries", "the member is missing");
    }

private:
    enum class Root { None, Array, Object };
    enum class Role { Ignored, Root, Entries, Entry, Value };

    struct Frame {
        bool isArray;
        Role role;
        std::string name;
        std::size_t index = 0;
        std::set<std::string> keys;
        std::string key;
        std::vector<std::string> strings; // of an array value: its items, while all are strings
        bool onlyStrings = true;
    };

    void problem(const std::string& where, const std::string& message) {
        m_table.problems.add(tables::problem(0, where, message));
    }

    // What a value in the current place is for, and what the place calls it.
    [[nodiscard]] std::pair<Role, std::string> placeOfValue() const {
        if (m_stack.empty())
            return {Role::Root, ""};
        const Frame& top = m_stack.back();
        const std::string name = top.isArray ? top.name + "[" + std::to_string(top.index) + "]"
                                             : member(top.name, top.key);
        switch (top.role) {
        case Role::Root:
            if (top.isArray)
                return {Role::Entry, name};
            return {top.key == "entries" ? Role::Entries : Role::Ignored, name};
        case Role::Entries:
            return {Role::Entry, name};
        case Role::Entry:
            return {Role::Value, name};
        case Role::Ignored:
        case Role::Value:
            break;
        }
        return {Role::Ignored, name};
    }

    bool counted() {
        if (++m_values <= kMaxValues)
            return true;
        problem("", "the file holds more than " + std::to_string(kMaxValues) +
                        " values, far more than any table");
        return false;
    }

    bool open(bool isArray) {
        if (!counted())
            return false;
        if (m_stack.size() == kMaxDepth) {
            problem("", "the values nest more than " + std::to_string(kMaxDepth) +
                            " levels deep, deeper than any table");
            return false;
        }
        auto [role, name] = placeOfValue();
        if (role == Role::Root)
            m_root = isArray ? Root::Array : Root::Object;
        if (role == Role::Entries) {
            m_sawEntries = true;
            if (!isArray) {
                problem(name, "must be an array of entries");
                role = Role::Ignored;
            }
        }
        if (role == Role::Entry) {
            if (isArray) {
                problem(name, "an entry must be an object");
                role = Role::Ignored;
            } else if (m_table.rows.size() == kMaxRows) {
                problem("", "the table has more than " + std::to_string(kMaxRows) +
                                " entries, and no image has more than a few hundred");
                return false;
            } else {
                m_table.rows.push_back({0, name, {}});
            }
        }
        if (role == Role::Value && !isArray)
            role = Role::Ignored;
        if (!m_stack.empty() && m_stack.back().role == Role::Value)
            m_stack.back().onlyStrings = false; // a list value holds strings only
        m_stack.push_back({isArray, role, name, 0, {}, {}, {}, true});
        return true;
    }

    bool close() {
        Frame done = std::move(m_stack.back());
        m_stack.pop_back();
        if (done.role == Role::Entry)
            checkEntry(m_table.rows.back());
        if (done.role == Role::Value && done.onlyStrings) {
            std::string joined;
            for (const std::string& item : done.strings)
                joined += (joined.empty() ? "" : " ") + item;
            cell(Cell::Kind::List, joined, done.name);
        } else if (done.role == Role::Value || (done.role == Role::Ignored && !m_stack.empty() &&
                                                m_stack.back().role == Role::Entry)) {
            cell(Cell::Kind::Other, done.isArray ? "[...]" : "{...}", done.name);
        }
        return advance();
    }

    // One more value in the frame on top.
    bool advance() {
        if (!m_stack.empty() && m_stack.back().isArray)
            ++m_stack.back().index;
        return true;
    }

    bool value(Cell::Kind kind, const std::string& text) {
        if (!counted())
            return false;
        const auto [role, name] = placeOfValue();
        if (role == Role::Root)
            m_root = Root::None;
        else if (role == Role::Entries)
            m_sawEntries = true, problem(name, "must be an array of entries");
        else if (role == Role::Entry)
            problem(name, "an entry must be an object");
        else if (role == Role::Value)
            cell(kind, text, name);
        else if (!m_stack.empty() && m_stack.back().role == Role::Value) {
            Frame& list = m_stack.back();
            list.onlyStrings = list.onlyStrings && kind == Cell::Kind::String;
            if (list.onlyStrings)
                list.strings.push_back(text);
        }
        return advance();
    }

    void cell(Cell::Kind kind, const std::string& text, const std::string& name) {
        InputRow& row = m_table.rows.back();
        const std::string& key = m_stack.back().key;
        if (!isColumn(key) && !isTextCompanion(key))
            problem(base::printable(name, kMessageLimit), "unknown member");
        else
            row.cells.emplace(key, Cell{kind, text, 0, name});
    }

    void checkEntry(const InputRow& row) {
        for (const std::string& column : requiredColumns())
            if (!row.cells.count(column))
                problem(member(row.name, column), "the member is missing");
    }

    InputTable& m_table;
    std::vector<Frame> m_stack;
    Root m_root = Root::None;
    bool m_sawEntries = false;
    std::size_t m_values = 0;
};

} // namespace

InputTable readJsonTable(std::string_view text) {
    InputTable table;
    TableBuilder builder(table);
    if (Json::sax_parse(text.begin(), text.end(), &builder))
        builder.finish();
    return table;
}

} // namespace tables
