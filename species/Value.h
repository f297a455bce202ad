#pragma once

#include <string>
#include <utility>
#include <vector>

namespace species {

// What a field of an entry holds: a number, or, for a field that is a list (a learnset, egg
// moves), its items in order, each the 16-bit word the image stores. A number converts to a
// Value where one is wanted, so `Change{0, Field::HP, 45, 50}` reads as it always has.
class Value {
public:
    Value() = default;
    Value(int number) : m_number(number) {} // NOLINT: a number is a value

    [[nodiscard]] static Value list(std::vector<int> items) {
        Value value;
        value.m_list = true;
        value.m_items = std::move(items);
        return value;
    }

    [[nodiscard]] bool isList() const { return m_list; }
    // The number; 0 for a list.
    [[nodiscard]] int number() const { return m_number; }
    // The items of a list; none for a number.
    [[nodiscard]] const std::vector<int>& items() const& { return m_items; }
    // A temporary's list is moved out, so `record.value(field).items()` holds no dangling
    // reference.
    [[nodiscard]] std::vector<int> items() && { return std::move(m_items); }

    bool operator==(const Value&) const = default;

private:
    bool m_list = false;
    int m_number = 0;
    std::vector<int> m_items;
};

} // namespace species
