#include "JsonRows.h"

#include "base/Text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tables {
namespace {

using Json = nlohmann::json;

constexpr std::size_t kMessageLimit = 200;

std::string member(const std::string& owner, const std::string& key) {
    return owner.empty() ? key : owner + "." + key;
}

// The parser's reason in words, without its tag ("[json.exception.parse_error.101] ") and the
// place it names, which the problem's line gives.
std::string reasonOf(const nlohmann::detail::exception& error) {
    std::string_view text = error.what();
    if (const std::size_t tag = text.find("] "); text.starts_with('[') && tag != text.npos)
        text.remove_prefix(tag + 2);
    if (const std::size_t colon = text.find(": ");
        text.starts_with("parse error") && colon != text.npos)
        text.remove_prefix(colon + 2);
    return base::printable(text, kMessageLimit);
}

class RowBuilder final : public nlohmann::json_sax<Json> {
public:
    RowBuilder(std::string_view text, const JsonShape& shape, JsonRows& rows)
        : m_text(text), m_shape(shape), m_rows(rows) {}

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
            problem(base::printable(member(top.name, key), kMessageLimit),
                    "the member appears twice");
        else if (top.role == Role::Root && m_shape.isRootMember && key != m_shape.rowsMember &&
                 !m_shape.isRootMember(key))
            problem(base::printable(key, 40), "unknown member");
        return true;
    }

    // The line comes from the parser's position: the newlines before it.
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override {
        const std::string_view read = m_text.substr(0, std::min(position, m_text.size()));
        const int line = 1 + static_cast<int>(std::count(read.begin(), read.end(), '\n'));
        m_rows.table.problems.add(tables::problem(line, "", reasonOf(error)));
        return false;
    }

    // Says what the whole input lacked, once it is read.
    void finish() {
        if (m_root == Root::None)
            problem("the " + std::string(m_shape.kind), m_shape.rootProblem);
        else if (m_root == Root::Object && !m_sawRows)
            problem(std::string(m_shape.rowsMember), m_shape.rowsMissing);
    }

private:
    enum class Root { None, Rows, Object };
    enum class Role { Ignored, Root, Rows, Row, Value, RootMember, RootObject };

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
        m_rows.table.problems.add(tables::problem(0, where, message));
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
                return {Role::Row, name};
            return {top.key == m_shape.rowsMember ? Role::Rows : Role::RootMember, name};
        case Role::Rows:
            return {Role::Row, name};
        case Role::Row:
            return {Role::Value, name};
        case Role::RootMember:
            return {Role::RootObject, name};
        case Role::Ignored:
        case Role::Value:
        case Role::RootObject:
            break;
        }
        return {Role::Ignored, name};
    }

    bool counted() {
        if (++m_values <= m_shape.maxValues)
            return true;
        problem("", "the file holds more than " + std::to_string(m_shape.maxValues) +
                        " values, far more than any " + std::string(m_shape.kind));
        return false;
    }

    // The role of an object or array that opens at a place for `role`.
    Role roleOfContainer(Role role, bool isArray, const std::string& name) {
        switch (role) {
        case Role::Root:
            m_root = isArray && m_shape.bareArray ? Root::Rows
                     : isArray                    ? Root::None
                                                  : Root::Object;
            return m_root == Root::None ? Role::Ignored : Role::Root;
        case Role::Rows:
            m_sawRows = true;
            if (isArray)
                return Role::Rows;
            problem(name, m_shape.rowsProblem);
            return Role::Ignored;
        case Role::Row:
            return newRow(isArray, name) ? Role::Row : Role::Ignored;
        case Role::Value:
            return isArray ? Role::Value : Role::Ignored;
        case Role::RootMember:
            if (isArray)
                return Role::Ignored;
            m_rows.rootObjects.insert(m_stack.back().key);
            return Role::RootMember;
        case Role::RootObject:
        case Role::Ignored:
            break;
        }
        return Role::Ignored;
    }

    bool newRow(bool isArray, const std::string& name) {
        if (isArray) {
            problem(name, std::string(m_shape.rowKind) + " must be an object");
            return false;
        }
        m_rows.table.rows.push_back({0, name, {}});
        return true;
    }

    bool open(bool isArray) {
        if (!counted())
            return false;
        if (m_stack.size() == m_shape.maxDepth) {
            problem("", "the values nest more than " + std::to_string(m_shape.maxDepth) +
                            " levels deep, deeper than any " + std::string(m_shape.kind));
            return false;
        }
        const auto [place, name] = placeOfValue();
        if (place == Role::Row && !isArray && m_rows.table.rows.size() == m_shape.maxRows) {
            problem("", m_shape.tooManyRows);
            return false;
        }
        const Role role = roleOfContainer(place, isArray, name);
        if (!m_stack.empty() && m_stack.back().role == Role::Value)
            m_stack.back().onlyStrings = false; // a list value holds strings only
        m_stack.push_back({isArray, role, name, 0, {}, {}, {}, true});
        return true;
    }

    bool close() {
        Frame done = std::move(m_stack.back());
        m_stack.pop_back();
        if (done.role == Role::Row)
            checkRow(m_rows.table.rows.back());
        if (done.role == Role::Value && done.onlyStrings) {
            std::string joined;
            for (const std::string& item : done.strings)
                joined += (joined.empty() ? "" : " ") + item;
            cell(Cell::Kind::List, joined, done.name, std::move(done.strings));
        } else if (done.role == Role::Value || (done.role == Role::Ignored && !m_stack.empty() &&
                                                m_stack.back().role == Role::Row)) {
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
        else if (role == Role::Rows)
            m_sawRows = true, problem(name, m_shape.rowsProblem);
        else if (role == Role::Row)
            problem(name, std::string(m_shape.rowKind) + " must be an object");
        else if (role == Role::Value)
            cell(kind, text, name);
        else if (role == Role::RootMember || role == Role::RootObject)
            m_rows.rootCells.emplace(name, Cell{kind, text, 0, name});
        else if (!m_stack.empty() && m_stack.back().role == Role::Value) {
            Frame& list = m_stack.back();
            list.onlyStrings = list.onlyStrings && kind == Cell::Kind::String;
            if (list.onlyStrings)
                list.strings.push_back(text);
        }
        return advance();
    }

    void cell(Cell::Kind kind, const std::string& text, const std::string& name,
              std::vector<std::string> items = {}) {
        InputRow& row = m_rows.table.rows.back();
        const std::string& key = m_stack.back().key;
        if (!m_shape.isRowMember(key))
            problem(base::printable(name, kMessageLimit), "unknown member");
        else
            row.cells.emplace(key, Cell{kind, text, 0, name, std::move(items)});
    }

    void checkRow(const InputRow& row) {
        for (const std::string& column : m_shape.requiredRowMembers)
            if (!row.cells.count(column))
                problem(member(row.name, column), "the member is missing");
    }

    std::string_view m_text;
    const JsonShape& m_shape;
    JsonRows& m_rows;
    std::vector<Frame> m_stack;
    Root m_root = Root::None;
    bool m_sawRows = false;
    std::size_t m_values = 0;
};

} // namespace

JsonRows readJsonRows(std::string_view text, const JsonShape& shape) {
    JsonRows rows;
    RowBuilder builder(text, shape, rows);
    if (Json::sax_parse(text.begin(), text.end(), &builder))
        builder.finish();
    return rows;
}

} // namespace tables
