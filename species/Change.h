#pragma once

#include "FieldLayout.h"
#include "Record.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace species {

// One change of one field of one entry: the entry's list position (the same in every game),
// the field, and its value before and after. Import plans, patches, diffs and the window's
// edits are all lists of these. A change may set a field to the value it holds already: it is
// written all the same (the window writes every field it shows).
struct Change {
    int position = 0;
    Field field = Field::HP;
    int before = 0;
    int after = 0;

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
// after, so that carried to another image the slot is judged as one.
[[nodiscard]] std::vector<Change> slotChangesBetween(std::span<const Record> before,
                                                     std::span<const Record> after);

// A change for every field that `edit` sets in the record `record` of the entry at `position`,
// those it sets to the value they hold included.
[[nodiscard]] std::vector<Change> settingChanges(int position, const Record& record,
                                                 const RecordEdit& edit);

// Why `name` does not name the entry at `position` ("\"Bellsprout\" does not stand at position
// 10, \"Weepinbell\" does"), or nothing when it does; spaces at either end do not count.
[[nodiscard]] std::optional<std::string> misnamed(int position, std::string_view name);

} // namespace species
