#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "Vocabulary.h"

namespace species {

inline constexpr int kRecordSize = 44;

inline constexpr int kTmCount = 92;
inline constexpr int kHmCount = 8;
inline constexpr int kTmHmCount = kTmCount + kHmCount;
inline constexpr int kEvolutionSlots = 7;

// The kinds of record an entry has, each a table of its own in the image: the base stats, the
// evolutions, and more to come. What each is, and where an image keeps it, is the kind's
// descriptor (RecordKind); here only its name, which its fields carry.
enum class Kind { BaseStats, Evolutions, Learnsets, EggMoves };

// The fields of the record: the 22 of the main window, in the order of their bytes; the EV
// yield, the sprite flag (both in the record's byte order); then the TM and HM flags, TM01 to
// TM92 and HM01 to HM08, each a field of its own.
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
    EvHp,
    EvAttack,
    EvDefense,
    EvSpeed,
    EvSpAttack,
    EvSpDefense,
    Flip,
    FirstTmHm, // TM01; the TM or HM at flag n (0 to 99) is tmHm(n)
    // The 21 fields of the evolution record follow the flags: evolution(slot, part).
    FirstEvolution = FirstTmHm + kTmHmCount,
    // The learnset: the whole list of an entry's level-up moves, one field.
    Learnset = FirstEvolution + 3 * kEvolutionSlots,
    // The egg moves: the moves of the species' block in the game's one list, one field.
    EggMoves,
};
// The fields of the base-stat record.
inline constexpr std::size_t kStatFieldCount =
    static_cast<std::size_t>(Field::FirstTmHm) + kTmHmCount;

// The evolution record, the second record of an entry, kept in an archive of its own: seven
// slots of a method, a parameter and a target species, each a little-endian 16-bit number,
// then two bytes the game never reads. Its fields follow those of the base-stat record.
enum class SlotPart { Method, Parameter, Target };
inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::EggMoves) + 1;

// The TM or HM flag `n`: 0 is TM01, 91 TM92, 92 HM01, 99 HM08.
[[nodiscard]] constexpr Field tmHm(int n) {
    return static_cast<Field>(static_cast<int>(Field::FirstTmHm) + n);
}
// The field of `part` of evolution slot `slot` (0 to 6).
[[nodiscard]] constexpr Field evolution(int slot, SlotPart part) {
    return static_cast<Field>(kStatFieldCount + static_cast<std::size_t>(slot * 3) +
                              static_cast<std::size_t>(part));
}
// Whether `field` is one of the evolution record, not of the base-stat record.
[[nodiscard]] constexpr bool isEvolution(Field field) {
    return field >= Field::FirstEvolution &&
           static_cast<std::size_t>(field) < kStatFieldCount + 3 * kEvolutionSlots;
}
[[nodiscard]] constexpr int slotOf(Field field) {
    return static_cast<int>((static_cast<std::size_t>(field) - kStatFieldCount) / 3);
}
[[nodiscard]] constexpr SlotPart slotPartOf(Field field) {
    return static_cast<SlotPart>((static_cast<std::size_t>(field) - kStatFieldCount) % 3);
}

// Which part of the record, and of the program, a field belongs to.
enum class Part {
    Main,       // a control of the main window, a column of the tables
    EvYield,    // the EV Yield and TM/HM dialog, a column each
    SpriteFlag, // the same dialog; the column "flip"
    TmHm,       // the same dialog; all in one column, "tm_hm"
    Evolution,  // the evolution record: the Evolutions dialog, a table of its own
    Learnset,   // the level-up moves: the Moves dialog, a table of its own
    EggMoves,   // the egg moves: the same dialog, a table of its own
};

// The kind of record a part of the fields belongs to.
[[nodiscard]] constexpr Kind kindOf(Part part) {
    return part == Part::Evolution  ? Kind::Evolutions
           : part == Part::Learnset ? Kind::Learnsets
           : part == Part::EggMoves ? Kind::EggMoves
                                    : Kind::BaseStats;
}

struct FieldDescriptor {
    Field field;
    std::string_view key; // "hp": its column in the tables, its name in patches
    // Its bits: `bits` of the little-endian number that starts at byte `offset` of the record,
    // from bit `shift` on. Every other bit of those bytes is kept as it is.
    int offset;
    int shift;
    int bits;
    std::string_view caption; // what the window calls it
    std::string_view control; // objectName of the main window's control, or "" (Part::Main only)
    vocabulary::List list;    // the list its control shows; None for a number
    int maximum;              // for a number: the largest value that may be stored
    Part part;

    [[nodiscard]] constexpr bool isNumber() const { return list == vocabulary::List::None; }
    // Whether it holds a list of 16-bit words rather than a number (`maximum` is then the most
    // items the game reads).
    [[nodiscard]] constexpr bool isList() const {
        return part == Part::Learnset || part == Part::EggMoves;
    }
    // The kind of record it is a field of.
    [[nodiscard]] constexpr Kind kind() const { return kindOf(part); }
    // The bytes it spans, from `offset` on.
    [[nodiscard]] constexpr int width() const { return (shift + bits + 7) / 8; }
    [[nodiscard]] constexpr bool isWord() const { return bits == 16; }
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

// The one table that loading, saving, export and import all work from, in Field order: the
// fields of the base-stat record.
[[nodiscard]] std::span<const FieldDescriptor> fieldLayout();
// The fields of the evolution record: evo1_method, evo1_param, evo1_target... evo7_target.
[[nodiscard]] std::span<const FieldDescriptor> evolutionLayout();
// The learnset's one field.
[[nodiscard]] std::span<const FieldDescriptor> learnsetLayout();
// The egg moves' one field.
[[nodiscard]] std::span<const FieldDescriptor> eggMoveLayout();
[[nodiscard]] const FieldDescriptor& descriptor(Field field);
// The kind of record `field` belongs to.
[[nodiscard]] inline Kind kindOf(Field field) {
    return descriptor(field).kind();
}
// What people reading a list of changes call a field: the window's caption, told apart where
// one caption stands for two ("Type 2", "Item 1") or for a dialog's fields ("EV Speed").
[[nodiscard]] std::string displayName(Field field);
// The fields of one part, in Field order.
[[nodiscard]] std::span<const FieldDescriptor> fieldsOf(Part part);

} // namespace species
