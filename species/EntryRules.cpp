#include "EntryRules.h"

#include <algorithm>
#include <array>

namespace species {
namespace {

constexpr std::array<SpriteFlagEntry, 27> kSpriteFlagEntries{{
    {59, 1},  {60, 1},  {61, 1},  {66, 7},  {98, 0},  {119, 5}, {124, 2}, {158, 1}, {173, 9},
    {185, 3}, {200, 4}, {214, 4}, {215, 5}, {238, 2}, {239, 0}, {314, 3}, {326, 5}, {334, 8},
    {335, 4}, {358, 8}, {388, 3}, {389, 5}, {390, 5}, {405, 3}, {406, 3}, {466, 0}, {467, 8},
}};

constexpr std::array<int, 63> kNoGenderSpecies{
    80,  81,  99,  100, 119, 120, 131, 136, 143, 144, 145, 149, 150, 200, 232, 242,
    243, 244, 248, 249, 250, 336, 337, 342, 343, 373, 374, 375, 376, 377, 378, 381,
    382, 383, 384, 385, 435, 436, 461, 473, 478, 479, 480, 481, 482, 483, 485, 486,
    488, 489, 490, 491, 492, 495, 496, 497, 500, 501, 502, 503, 504, 505, 506,
};

constexpr int kDeoxysNormal = 385;
constexpr int kWormadamPlant = 412;

} // namespace

std::span<const SpriteFlagEntry> spriteFlagEntries() {
    return kSpriteFlagEntries;
}

std::optional<int> spriteFlagColour(int position) {
    for (const SpriteFlagEntry& entry : kSpriteFlagEntries)
        if (entry.position == position)
            return entry.colour;
    return std::nullopt;
}

std::span<const int> noGenderSpecies() {
    return kNoGenderSpecies;
}

bool isNoGenderSpecies(int position) {
    return std::binary_search(kNoGenderSpecies.begin(), kNoGenderSpecies.end(), position);
}

FormNote alternateFormNote(int position) {
    if (position == kDeoxysNormal)
        return FormNote::Deoxys;
    if (position == kWormadamPlant)
        return FormNote::Wormadam;
    return FormNote::None;
}

} // namespace species
