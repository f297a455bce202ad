#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Vocabulary.h"

namespace species {

inline constexpr int kRecordSize = 44;
// Bytes 0 to 25 hold every edited field; bytes 26 to 43 are never touched.
inline constexpr int kEditedSpan = 26;

// The edited fields, in the order of their bytes in the record.
enum class Field {
    HP,
    Attack,
    Defense,
    Speed,
    SpAttack,
    SpDefense,
    Type1,
    Type2,
    CatchRate,
    BaseXP,
    Item1,
    Item2,
    Gender,
    Hatch,
    BaseHappiness,
    MaxExp,
    EggType1,
    EggType2,
    Ability1,
    Ability2,
    RunChance,
    Colour,
};
inline constexpr std::size_t kFieldCount = 22;

struct FieldDescriptor {
    Field field;
    std::string_view key;     // "hp": the column name in exported tables
    int offset;               // first byte within the record
    int width;                // 1, or 2 for a little-endian word
    std::string_view caption; // the caption the window shows it under
    std::string_view control; // objectName of the control that shows it
    vocabulary::List list;    // the list its control shows; None for a number in a text box

    [[nodiscard]] constexpr bool isNumber() const { return list == vocabulary::List::None; }
};

// A value for each field, indexed by the field itself.
template <typename T> class ByField {
public:
    [[nodiscard]] constexpr T& operator[](Field field) {
        return m_values[static_cast<std::size_t>(field)];
    }
    [[nodiscard]] constexpr const T& operator[](Field field) const {
        return m_values[static_cast<std::size_t>(field)];
    }
    void fill(const T& value) { m_values.fill(value); }
    bool operator==(const ByField&) const = default;

private:
    std::array<T, kFieldCount> m_values{};
};

// The one table that loading, saving, export and import all work from.
[[nodiscard]] const std::array<FieldDescriptor, kFieldCount>& fieldLayout();
[[nodiscard]] const FieldDescriptor& descriptor(Field field);

} // namespace species
