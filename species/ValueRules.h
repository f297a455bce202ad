#pragma once

#include "FieldLayout.h"

#include "nds/GameEdition.h"

#include <optional>
#include <string>
#include <string_view>

// The rules for the values of the fields, in one place for the window and statwright-cli.
namespace species {

// How an entry keeps one of its fields from being changed.
enum class Lock {
    None,
    Kept, // shown, and saved as it was: the gender of a species without one
};
[[nodiscard]] Lock lockOf(Field field, int position);

// The entry a list shows for the stored value `stored` in an image of `game`: its position,
// -1 for no entry selected (a word of FF FF), or nothing when the list has no entry for it. A
// value without an entry is kept as it is unless another entry is picked.
[[nodiscard]] std::optional<int> shownEntry(const FieldDescriptor& field, int stored,
                                            nds::Game game);

// Why `value` (written as `written`) may not be stored in `field` of the entry at `position`
// of an image of `game`, which holds `current` now; nothing when it may. A number lies between
// 0 and 255, a list value within its list for that game or where it already was, and a
// locked field keeps its value.
[[nodiscard]] std::optional<std::string> refusal(const FieldDescriptor& field, int position,
                                                 long value, std::string_view written, int current,
                                                 nds::Game game);

} // namespace species
