#include "FieldLayout.h"

namespace species {
namespace {

using vocabulary::List;

constexpr int kMainFields = static_cast<int>(Field::EvHp);
constexpr int kEvFields = 6;

// "tm01" to "tm92", "hm01" to "hm08", and the same in capitals, four characters each.
template <bool Capitals> constexpr std::array<char, 4 * kTmHmCount> tmHmNames() {
    std::array<char, 4 * kTmHmCount> names{};
    for (int n = 0; n < kTmHmCount; ++n) {
        const bool hm = n >= kTmCount;
        const int number = hm ? n - kTmCount + 1 : n + 1;
        char* name = names.data() + 4 * n;
        name[0] = hm ? (Capitals ? 'H' : 'h') : (Capitals ? 'T' : 't');
        name[1] = Capitals ? 'M' : 'm';
        name[2] = static_cast<char>('0' + number / 10);
        name[3] = static_cast<char>('0' + number % 10);
    }
    return names;
}
constexpr auto kTmHmKeys = tmHmNames<false>();
constexpr auto kTmHmCaptions = tmHmNames<true>();

// "evo1_method", "evo1_param ", "evo1_target", each eleven characters (the parameter's name
// ends in a space, cut off by its length).
constexpr std::array<char, 11 * 3 * kEvolutionSlots> evolutionNames() {
    std::array<char, 11 * 3 * kEvolutionSlots> names{};
    constexpr const char* kParts[] = {"method", "param ", "target"};
    for (int slot = 0; slot < kEvolutionSlots; ++slot)
        for (int part = 0; part < 3; ++part) {
            char* name = names.data() + 11 * (slot * 3 + part);
            const char head[] = {'e', 'v', 'o', static_cast<char>('1' + slot), '_'};
            for (int i = 0; i < 5; ++i)
                name[i] = head[i];
            for (int i = 0; i < 6; ++i)
                name[5 + i] = kParts[part][i];
        }
    return names;
}
constexpr auto kEvolutionKeys = evolutionNames();

constexpr std::array<FieldDescriptor, kFieldCount> layout() {
    // clang-format off
    constexpr FieldDescriptor kNamed[] = {
        {Field::HP,            "hp",             0,  0, 8,  "HP",                     "txtHP",            List::None,         255, Part::Main},
        {Field::Attack,        "attack",         1,  0, 8,  "Attack",                 "txtAttack",        List::None,         255, Part::Main},
        {Field::Defense,       "defense",        2,  0, 8,  "Defense",                "txtDefense",       List::None,         255, Part::Main},
        {Field::Speed,         "speed",          3,  0, 8,  "Speed",                  "txtSpeed",         List::None,         255, Part::Main},
        {Field::SpAttack,      "sp_attack",      4,  0, 8,  "Sp Attack",              "txtSpAttack",      List::None,         255, Part::Main},
        {Field::SpDefense,     "sp_defense",     5,  0, 8,  "Sp Defense",             "txtSpDefense",     List::None,         255, Part::Main},
        {Field::Type1,         "type1",          6,  0, 8,  "Types",                  "cmbType1",         List::Types,        0,   Part::Main},
        {Field::Type2,         "type2",          7,  0, 8,  "Types",                  "cmbType2",         List::Types,        0,   Part::Main},
        {Field::CatchRate,     "catch_rate",     8,  0, 8,  "Catch Rate",             "txtCatchRate",     List::None,         255, Part::Main},
        {Field::BaseXP,        "base_xp",        9,  0, 8,  "Base XP",                "txtBaseXP",        List::None,         255, Part::Main},
        {Field::Item1,         "item1",          12, 0, 16, "Wild Hold Items",        "cmbItem1",         List::Items,        0,   Part::Main},
        {Field::Item2,         "item2",          14, 0, 16, "Wild Hold Items",        "cmbItem2",         List::Items,        0,   Part::Main},
        {Field::Gender,        "gender",         16, 0, 8,  "Gender Ratio",           "cmbGender",        List::GenderRatios, 0,   Part::Main},
        {Field::Hatch,         "hatch",          17, 0, 8,  "Steps to Hatch Egg",     "cmbHatch",         List::HatchSteps,   0,   Part::Main},
        {Field::BaseHappiness, "base_happiness", 18, 0, 8,  "Base Happiness",         "txtBaseHappiness", List::None,         255, Part::Main},
        {Field::MaxExp,        "max_exp",        19, 0, 8,  "Max Exp.",               "cmbMaxExp",        List::GrowthGroups, 0,   Part::Main},
        {Field::EggType1,      "egg_type1",      20, 0, 8,  "Egg Type 1",             "cmbEggType1",      List::EggGroups,    0,   Part::Main},
        {Field::EggType2,      "egg_type2",      21, 0, 8,  "Egg Type 2",             "cmbEggType2",      List::EggGroups,    0,   Part::Main},
        {Field::Ability1,      "ability1",       22, 0, 8,  "Special Abilities",      "cmbAbility1",      List::Abilities,    0,   Part::Main},
        {Field::Ability2,      "ability2",       23, 0, 8,  "Special Abilities",      "cmbAbility2",      List::Abilities,    0,   Part::Main},
        {Field::RunChance,     "run_chance",     24, 0, 8,  "Great Marsh Run Chance", "txtRunChance",     List::None,         255, Part::Main},
        {Field::Colour,        "colour",         25, 0, 7,  "Colour",                 "cmbColour",        List::Colours,      0,   Part::Main},
        {Field::EvHp,          "ev_hp",          10, 0, 2,  "HP",                     "",                 List::None,         3,   Part::EvYield},
        {Field::EvAttack,      "ev_attack",      10, 2, 2,  "Attack",                 "",                 List::None,         3,   Part::EvYield},
        {Field::EvDefense,     "ev_defense",     10, 4, 2,  "Defense",                "",                 List::None,         3,   Part::EvYield},
        {Field::EvSpeed,       "ev_speed",       10, 6, 2,  "Speed",                  "",                 List::None,         3,   Part::EvYield},
        {Field::EvSpAttack,    "ev_sp_attack",   10, 8, 2,  "Sp Attack",              "",                 List::None,         3,   Part::EvYield},
        {Field::EvSpDefense,   "ev_sp_defense",  10, 10, 2, "Sp Defense",             "",                 List::None,         3,   Part::EvYield},
        {Field::Flip,          "flip",           25, 7, 1,  "Sprite not mirrored",    "",                 List::None,         1,   Part::SpriteFlag},
    };
    // clang-format on
    std::array<FieldDescriptor, kFieldCount> all{};
    for (std::size_t i = 0; i < std::size(kNamed); ++i)
        all[i] = kNamed[i];
    // Flag n is bit n of the 128 bits from byte 28 on, low byte first.
    for (int n = 0; n < kTmHmCount; ++n)
        all[std::size(kNamed) + std::size_t(n)] = {
            tmHm(n),    std::string_view(kTmHmKeys.data() + 4 * n, 4),
            28 + n / 8, n % 8,
            1,          std::string_view(kTmHmCaptions.data() + 4 * n, 4),
            "",         List::None,
            1,          Part::TmHm};
    return all;
}

constexpr std::array<FieldDescriptor, kFieldCount> kLayout = [] {
    std::array<FieldDescriptor, kFieldCount> all = layout();
    for (int slot = 0; slot < kEvolutionSlots; ++slot)
        for (int part = 0; part < 3; ++part) {
            const int at = slot * 3 + part;
            all[kStatFieldCount + std::size_t(at)] = {
                evolution(slot, SlotPart(part)),
                std::string_view(kEvolutionKeys.data() + 11 * at, part == 1 ? 10 : 11),
                at * 2,
                0,
                16,
                "Evolution",
                "",
                List::None,
                65535,
                Part::Evolution};
        }
    // A list of up to 20 moves, the whole record: it has no bits of its own.
    all[static_cast<std::size_t>(Field::Learnset)] = {
        Field::Learnset, "learnset", 0, 0, 0, "Level-up moves", "", List::None, 20, Part::Learnset};
    // A species' egg moves, up to 16: a list too.
    all[static_cast<std::size_t>(Field::EggMoves)] = {
        Field::EggMoves, "egg_moves", 0, 0, 0, "Egg moves", "", List::None, 16, Part::EggMoves};
    return all;
}();

static_assert([] {
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        if (static_cast<std::size_t>(kLayout[i].field) != i ||
            kLayout[i].offset + kLayout[i].width() > kRecordSize)
            return false;
    return true;
}());

} // namespace

std::span<const FieldDescriptor> fieldLayout() {
    return std::span(kLayout).first(kStatFieldCount);
}

std::span<const FieldDescriptor> evolutionLayout() {
    return std::span(kLayout).subspan(kStatFieldCount, 3 * kEvolutionSlots);
}

std::span<const FieldDescriptor> learnsetLayout() {
    return std::span(kLayout).subspan(static_cast<std::size_t>(Field::Learnset), 1);
}

std::span<const FieldDescriptor> eggMoveLayout() {
    return std::span(kLayout).subspan(static_cast<std::size_t>(Field::EggMoves), 1);
}

const FieldDescriptor& descriptor(Field field) {
    return kLayout[static_cast<std::size_t>(field)];
}

std::string displayName(Field field) {
    switch (field) {
    case Field::Type1:
    case Field::Type2:
    case Field::Ability1:
    case Field::Ability2:
    case Field::Item1:
    case Field::Item2: {
        // The window shows the two of a frame under one caption: "Types", "Special Abilities".
        static constexpr const char* kPairs[] = {"Type", "Ability", "Item"};
        const int pair = field == Field::Type1 || field == Field::Type2         ? 0
                         : field == Field::Ability1 || field == Field::Ability2 ? 1
                                                                                : 2;
        const bool second =
            field == Field::Type2 || field == Field::Ability2 || field == Field::Item2;
        return std::string(kPairs[pair]) + (second ? " 2" : " 1");
    }
    case Field::Hatch:
        return "Steps to Hatch";
    case Field::RunChance:
        return "Run Chance";
    case Field::Flip:
        return "Sprite Flag";
    default:
        break;
    }
    const FieldDescriptor& d = descriptor(field);
    if (d.part == Part::Evolution) {
        static constexpr const char* kParts[] = {" method", " parameter", " target"};
        return "Evolution " + std::to_string(slotOf(field) + 1) +
               kParts[static_cast<int>(slotPartOf(field))];
    }
    return d.part == Part::EvYield ? "EV " + std::string(d.caption) : std::string(d.caption);
}

std::span<const FieldDescriptor> fieldsOf(Part part) {
    const std::span<const FieldDescriptor> all = kLayout;
    switch (part) {
    case Part::Main:
        return all.first(kMainFields);
    case Part::EvYield:
        return all.subspan(kMainFields, kEvFields);
    case Part::SpriteFlag:
        return all.subspan(kMainFields + kEvFields, 1);
    case Part::Evolution:
        return evolutionLayout();
    case Part::Learnset:
        return learnsetLayout();
    case Part::EggMoves:
        return eggMoveLayout();
    case Part::TmHm:
        break;
    }
    return all.subspan(kStatFieldCount - kTmHmCount, kTmHmCount);
}

} // namespace species
