#pragma once

#include "nds/GameEdition.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fixed texts of the window's lists, in UTF-8. In every list the entry at position k
// stands for the stored value k, so no list may ever be sorted or filtered.
namespace vocabulary {

[[nodiscard]] std::span<const std::string_view> types();        // 18
[[nodiscard]] std::span<const std::string_view> eggGroups();    // 16
[[nodiscard]] std::span<const std::string_view> colours();      // 11
[[nodiscard]] std::span<const std::string_view> growthGroups(); // 6
[[nodiscard]] std::span<const std::string_view> abilities();    // 124
// Diamond's and Pearl's 465; Platinum's 468 (112 is the Griseous Orb); HeartGold's and
// SoulSilver's 537.
[[nodiscard]] std::span<const std::string_view> items(nds::Game game);
[[nodiscard]] std::span<const std::string_view> species(); // 500
// The 467 moves by id, entry 0 for no move.
[[nodiscard]] std::span<const std::string_view> moves();

// The move that TM/HM flag `n` (0 is TM01, 92 HM01, 99 HM08) teaches in `game`: the same in
// every game but HM05, Defog, which is Whirlpool in HeartGold and SoulSilver.
[[nodiscard]] std::string_view tmHmMove(int n, nds::Game game);

inline constexpr int kHatchStepsCount = 256;
// Entry k of the steps-to-hatch list: k × 256 in decimal, "0" to "65280".
[[nodiscard]] std::string hatchSteps(int k);

inline constexpr int kGenderRatioCount = 256;
// Entry i of the gender-ratio list: male and female percentages for the ratio byte i, each
// cut (not rounded) to five characters, with a full stop as the decimal point; entry 255 is
// "None". (The window shows the point of the user's locale.)
[[nodiscard]] std::string genderRatio(int i);

// The lists that the record's fields are shown in; entry k of a list stands for the stored
// value k.
enum class List {
    None,
    Types,
    Items,
    GenderRatios,
    HatchSteps,
    GrowthGroups,
    EggGroups,
    Abilities,
    Colours
};

// The entries of `list` in an image of `game` (only the items differ between the games); 0
// for None.
[[nodiscard]] int size(List list, nds::Game game);
// Entry `value` of `list` in an image of `game`, or nothing when the list has no such entry.
[[nodiscard]] std::optional<std::string> text(List list, int value, nds::Game game);
// The same entry as a line of text names it, without the spaces some entries end in:
// "Water", "50% M 50% F".
[[nodiscard]] std::optional<std::string> name(List list, int value, nds::Game game);

// The entries of `list` in an image of `game` whose text is `name`, spaces at either end and
// the case of letters aside ("dragon" is Dragon's entry, 16); more than one where the list
// repeats a text ("???").
[[nodiscard]] std::vector<int> entriesNamed(List list, std::string_view name, nds::Game game);
// Up to `count` texts of `list` nearest to `name` (fewest letters to change), nearest first.
[[nodiscard]] std::vector<std::string> nearestNames(List list, std::string_view name,
                                                    nds::Game game, std::size_t count = 3);
// What one entry of `list` is called: "type", "ability", "gender ratio"...
[[nodiscard]] std::string_view entryNoun(List list);
// `noun` after "a" or "an": "a type", "an item".
[[nodiscard]] std::string withArticle(std::string_view noun);

// The name of the table entry at `position`, without trailing spaces: the species list's 500,
// then the seven extra forms.
[[nodiscard]] std::string entryName(int position);
// The entry at `position` as a list of changes names it: its name, and where two entries share
// it (the placeholders "???"), its position too: "??? (position 493)".
[[nodiscard]] std::string entryLabel(int position);

} // namespace vocabulary
