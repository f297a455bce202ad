#pragma once

#include "FieldLayout.h"
#include "Record.h"
#include "Value.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace species {

// One change of one field of one entry: the entry's list position (the same in every game),
// the field (which names the kind of record), and its value before and after: before, what
// the entry held where the change was made. Import plans, patches, diffs, the window's edits
// and what a save wrote are all lists of these. A change may set a field to the value it holds
// already: it is written all the same (the window writes every field it shows).
struct Change {
    int position = 0;
    Field field = Field::HP;
    Value before;
    Value after;

    bool operator==(const Change&) const = default;
};

// Orders `changes` by position, then field, keeping the order of equal ones.
void sortChanges(std::vector<Change>& changes);

// The fields of `fields` (those of the base-stat record, unless others are given) that differ
// between two records of the entry at `position`, in field order.
[[nodiscard]] std::vector<Change>
changesOf(int position, const Record& before, const Record& after,
          std::span<const FieldDescriptor> fields = fieldLayout());

// The changes that turn the entries `before` into `after`, for the entries both have; by
// position, then field.
[[nodiscard]] std::vector<Change>
changesBetween(std::span<const Record> before, std::span<const Record> after,
               std::span<const FieldDescriptor> fields = fieldLayout());

// The changes of the evolution slots that differ between `before` and `after`, each slot
// whole: all three of its fields, those that stay as they are with the same value before and
// after, so that carried to another image the slot is judged as one. The records are those of
// the entries from `firstPosition` on.
[[nodiscard]] std::vector<Change> slotChangesBetween(std::span<const Record> before,
                                                     std::span<const Record> after,
                                                     int firstPosition = 0);

// Why `name` does not name the entry at `position` ("\"Bellsprout\" does not stand at position
// 10, \"Weepinbell\" does"), or nothing when it does; spaces at either end do not count.
[[nodiscard]] std::optional<std::string> misnamed(int position, std::string_view name);

} // namespace species
