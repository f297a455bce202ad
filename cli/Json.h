#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// A small JSON reader and string quoting, enough for the exported tables. Every value knows
// the line and column where it starts, so errors can point at it.
namespace json {

struct Member;

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    std::string text; // a string's contents, or a number exactly as written
    std::vector<Value> items;
    std::vector<Member> members; // in file order
    int line = 1;
    int column = 1;

    [[nodiscard]] const Value* member(std::string_view key) const;
};

struct Member {
    std::string key;
    Value value;
};

struct ParseError {
    std::string message;
    int line = 1;
    int column = 1;
};

[[nodiscard]] std::variant<Value, ParseError> parse(std::string_view text);

// `text` as a JSON string literal, quotes included.
[[nodiscard]] std::string quote(std::string_view text);

} // namespace json
