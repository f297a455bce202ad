#pragma once

#include "Change.h"

#include "GameEdition.h"

#include <optional>

#include <span>
#include <string>
#include <vector>

namespace tables {

// A line for each change, "Bulbasaur: hp 45 -> 50", and one for the TM and HM flags of an
// entry, "Bulbasaur: tm_hm +TM06 -HM04"; `changes` by position, then field. With a game, list
// values are named as its lists name them, as the change logs name them: "Dratini: type2
// Water -> Dragon".
[[nodiscard]] std::vector<std::string>
describeChanges(std::span<const species::Change> changes,
                std::optional<nds::Game> names = std::nullopt);

} // namespace tables
