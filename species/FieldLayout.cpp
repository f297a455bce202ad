#include "FieldLayout.h"

namespace species {
namespace {

using vocabulary::List;

// clang-format off
constexpr std::array<FieldDescriptor, kFieldCount> kLayout{{
    {Field::HP,            "hp",             0,  1, "HP",                     "txtHP",            List::None},
    {Field::Attack,        "attack",         1,  1, "Attack",                 "txtAttack",        List::None},
    {Field::Defense,       "defense",        2,  1, "Defense",                "txtDefense",       List::None},
    {Field::Speed,         "speed",          3,  1, "Speed",                  "txtSpeed",         List::None},
    {Field::SpAttack,      "sp_attack",      4,  1, "Sp Attack",              "txtSpAttack",      List::None},
    {Field::SpDefense,     "sp_defense",     5,  1, "Sp Defense",             "txtSpDefense",     List::None},
    {Field::Type1,         "type1",          6,  1, "Types",                  "cmbType1",         List::Types},
    {Field::Type2,         "type2",          7,  1, "Types",                  "cmbType2",         List::Types},
    {Field::CatchRate,     "catch_rate",     8,  1, "Catch Rate",             "txtCatchRate",     List::None},
    {Field::BaseXP,        "base_xp",        9,  1, "Base XP",                "txtBaseXP",        List::None},
    {Field::Item1,         "item1",          12, 2, "Wild Hold Items",        "cmbItem1",         List::Items},
    {Field::Item2,         "item2",          14, 2, "Wild Hold Items",        "cmbItem2",         List::Items},
    {Field::Gender,        "gender",         16, 1, "Gender Ratio",           "cmbGender",        List::GenderRatios},
    {Field::Hatch,         "hatch",          17, 1, "Steps to Hatch Egg",     "cmbHatch",         List::HatchSteps},
    {Field::BaseHappiness, "base_happiness", 18, 1, "Base Happiness",         "txtBaseHappiness", List::None},
    {Field::MaxExp,        "max_exp",        19, 1, "Max Exp.",               "cmbMaxExp",        List::GrowthGroups},
    {Field::EggType1,      "egg_type1",      20, 1, "Egg Type 1",             "cmbEggType1",      List::EggGroups},
    {Field::EggType2,      "egg_type2",      21, 1, "Egg Type 2",             "cmbEggType2",      List::EggGroups},
    {Field::Ability1,      "ability1",       22, 1, "Special Abilities",      "cmbAbility1",      List::Abilities},
    {Field::Ability2,      "ability2",       23, 1, "Special Abilities",      "cmbAbility2",      List::Abilities},
    {Field::RunChance,     "run_chance",     24, 1, "Great Marsh Run Chance", "txtRunChance",     List::None},
    {Field::Colour,        "colour",         25, 1, "Colour",                 "cmbColour",        List::Colours},
}};
// clang-format on

static_assert([] {
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        if (static_cast<std::size_t>(kLayout[i].field) != i ||
            kLayout[i].offset + kLayout[i].width > kEditedSpan)
            return false;
    return true;
}());

} // namespace

const std::array<FieldDescriptor, kFieldCount>& fieldLayout() {
    return kLayout;
}

const FieldDescriptor& descriptor(Field field) {
    return kLayout[static_cast<std::size_t>(field)];
}

} // namespace species
