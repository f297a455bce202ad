#pragma once

#include <map>
#include <set>

// The two fixed tables of list positions, written out here from the program's description:
// entries whose retail records set the sprite flag, with their colour, and entries without
// gender.
namespace entryTables {

inline const std::map<int, int>& spriteFlagEntries() {
    static const std::map<int, int> table = {
        {59, 1},  {60, 1},  {61, 1},  {66, 7},  {98, 0},  {119, 5}, {124, 2}, {158, 1}, {173, 9},
        {185, 3}, {200, 4}, {214, 4}, {215, 5}, {238, 2}, {239, 0}, {314, 3}, {326, 5}, {334, 8},
        {335, 4}, {358, 8}, {388, 3}, {389, 5}, {390, 5}, {405, 3}, {406, 3}, {466, 0}, {467, 8},
    };
    return table;
}

inline const std::set<int>& noGenderSpecies() {
    static const std::set<int> table = {
        80,
        81,
        99,
        100,
        119,
        120,
        131,
        136,
        143,
        144,
        145,
        149,
        150,
        200,
        232,
        242,
        243,
        244,
        248,
        249,
        250,
        336,
        337,
        342,
        343,
        373,
        374,
        375,
        376,
        377,
        378,
        381,
        382,
        383,
        384,
        385,
        435,
        436,
        461,
        473,
        478,
        479,
        480,
        481,
        482,
        483,
        485,
        486,
        488,
        489,
        490,
        491,
        492,
        495,
        496,
        497,
        // the seven extra forms: Giratina (Origin), Shaymin (Sky) and five of Rotom
        500,
        501,
        502,
        503,
        504,
        505,
        506,
    };
    return table;
}

} // namespace entryTables
