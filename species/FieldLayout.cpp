#include "FieldLayout.h"

namespace species {
namespace {

constexpr std::array<FieldDescriptor, kFieldCount> kLayout{{
    {Field::HP, "HP", "hp", 0, 1, "txtHP", Shown::Text, 0},
    {Field::Attack, "Attack", "attack", 1, 1, "txtAttack", Shown::Text, 0},
    {Field::Defense, "Defense", "defense", 2, 1, "txtDefense", Shown::Text, 0},
    {Field::Speed, "Speed", "speed", 3, 1, "txtSpeed", Shown::Text, 0},
    {Field::SpAttack, "SpAttack", "sp_attack", 4, 1, "txtSpAttack", Shown::Text, 0},
    {Field::SpDefense, "SpDefense", "sp_defense", 5, 1, "txtSpDefense", Shown::Text, 0},
    {Field::Type1, "Type1", "type1", 6, 1, "cmbType1", Shown::Index, 18},
    {Field::Type2, "Type2", "type2", 7, 1, "cmbType2", Shown::Index, 18},
    {Field::CatchRate, "CatchRate", "catch_rate", 8, 1, "txtCatchRate", Shown::Text, 0},
    {Field::BaseXP, "BaseXP", "base_xp", 9, 1, "txtBaseXP", Shown::Text, 0},
    {Field::Item1, "Item1", "item1", 12, 2, "cmbItem1", Shown::Index, 465},
    {Field::Item2, "Item2", "item2", 14, 2, "cmbItem2", Shown::Index, 465},
    {Field::Gender, "Gender", "gender", 16, 1, "cmbGender", Shown::Index, 256},
    {Field::Hatch, "Hatch", "hatch", 17, 1, "cmbHatch", Shown::Index, 256},
    {Field::BaseHappiness, "BaseHappiness", "base_happiness", 18, 1, "txtBaseHappiness",
     Shown::Text, 0},
    {Field::MaxExp, "MaxExp", "max_exp", 19, 1, "cmbMaxExp", Shown::Index, 6},
    {Field::EggType1, "EggType1", "egg_type1", 20, 1, "cmbEggType1", Shown::Index, 16},
    {Field::EggType2, "EggType2", "egg_type2", 21, 1, "cmbEggType2", Shown::Index, 16},
    {Field::Ability1, "Ability1", "ability1", 22, 1, "cmbAbility1", Shown::Index, 124},
    {Field::Ability2, "Ability2", "ability2", 23, 1, "cmbAbility2", Shown::Index, 124},
    {Field::RunChance, "RunChance", "run_chance", 24, 1, "txtRunChance", Shown::Text, 0},
    {Field::Colour, "Colour", "colour", 25, 1, "cmbColour", Shown::Index, 11},
}};

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
