#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace species {

// Entries of the species list: 493 species, two placeholders, five alternate forms.
inline constexpr int kSpeciesCount = 500;

// The archives of Platinum, HeartGold and SoulSilver hold seven more forms after the list's
// 500 entries, as positions 500 to 506: Giratina (Origin), Shaymin (Sky) and five of Rotom.
inline constexpr int kExtraForms = 7;
inline constexpr int kAllEntries = kSpeciesCount + kExtraForms;

// The 27 entries whose retail records set the sprite flag in the colour's byte (bit 7: the
// game does not mirror the sprite), with their colour. The demo image sets it there too.
struct SpriteFlagEntry {
    int position;
    int colour;
};
[[nodiscard]] std::span<const SpriteFlagEntry> spriteFlagEntries();
// The colour of a sprite-flag entry, or nothing for any other entry.
[[nodiscard]] std::optional<int> spriteFlagColour(int position);

// Entries without gender, the seven extra forms among them: their gender list is loaded, then
// disabled and hidden.
[[nodiscard]] std::span<const int> noGenderSpecies();
[[nodiscard]] bool isNoGenderSpecies(int position);

// The two base forms whose other forms stand further down the list.
enum class FormNote { None, Deoxys, Wormadam };
[[nodiscard]] FormNote alternateFormNote(int position);

} // namespace species
