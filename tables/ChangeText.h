#pragma once

#include "Change.h"

#include <span>
#include <string>
#include <vector>

namespace tables {

// A line for each change, "Bulbasaur: hp 45 -> 50", and one for the TM and HM flags of an
// entry, "Bulbasaur: tm_hm +TM06 -HM04"; `changes` by position, then field.
[[nodiscard]] std::vector<std::string> describeChanges(std::span<const species::Change> changes);

} // namespace tables
