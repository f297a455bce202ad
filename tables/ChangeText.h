#pragma once

#include "species/Change.h"
#include "species/Patch.h"

#include "nds/GameEdition.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

// Changes in words, one a line, as every front end lists them.
namespace tables {

// A line for each change, "Bulbasaur: hp 45 -> 50", and one for the TM and HM flags of an
// entry, "Bulbasaur: tm_hm +TM06 -HM04"; `changes` by position, then field. With a game, list
// values are named as its lists name them, as the change logs name them: "Dratini: type2
// Water -> Dragon".
[[nodiscard]] std::vector<std::string>
describeChanges(std::span<const species::Change> changes,
                std::optional<nds::Game> names = std::nullopt);

// "2 changes in 2 entries", "1 change in 1 entry": the TM and HM flags of an entry count as
// one change, as they show on one line.
[[nodiscard]] std::string countChanges(std::span<const species::Change> changes);

// "3 problems", "1 problem": `count` of `one` or `many`.
[[nodiscard]] std::string counted(std::size_t count, std::string_view one, std::string_view many);

// A patch's step as its preview and apply list it: the change, "Garchomp: speed 102 -> 110";
// "... already applied"; or what keeps it from being made, with the reason: "conflict: Garchomp:
// speed 50 -> 9: the patch expects 50, the image holds 102", "no such entry: ...",
// "refused: ...".
[[nodiscard]] std::string describeStep(const species::PatchStep& step,
                                       std::optional<nds::Game> names = std::nullopt);

} // namespace tables
