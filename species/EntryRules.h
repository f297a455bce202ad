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
[[nodiscard]] std::span<const std::string_view> extraForms();

// Entries whose colour byte is known to read wrongly: the colour list shows a fixed entry, is
// hidden, and the byte is never read or written.
struct ReadErrorColour {
    int position;
    int colourIndex;
};
[[nodiscard]] std::span<const ReadErrorColour> readErrorColours();
[[nodiscard]] std::optional<int> fixedColourIndex(int position);

// Entries without gender, the seven extra forms among them: their gender list is loaded, then
// disabled and hidden.
[[nodiscard]] std::span<const int> noGenderSpecies();
[[nodiscard]] bool isNoGenderSpecies(int position);

// The two base forms whose other forms stand further down the list.
enum class FormNote { None, Deoxys, Wormadam };
[[nodiscard]] FormNote alternateFormNote(int position);

} // namespace species
