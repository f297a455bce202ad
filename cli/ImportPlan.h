#pragma once

#include "TableReader.h"

#include "FieldLayout.h"
#include "GameEdition.h"
#include "Record.h"
#include "RecordStore.h"

#include <span>
#include <string>
#include <vector>

namespace cli {

struct FieldChange {
    int position;
    species::Field field;
    int before;
    int after;
};

struct ImportPlan {
    std::vector<FieldChange> changes; // by position, then field
    tables::ProblemList problems;     // any problem means nothing may be written
};

// Judges every row against the entries of an image of `game` as they are now: each entry
// once, under its own name, with values the window could have stored, and nothing changed
// that the window keeps fixed.
[[nodiscard]] ImportPlan planImport(const tables::InputTable& input,
                                    std::span<const species::Record> entries, nds::Game game);

// The changes as the edits of each entry they change.
[[nodiscard]] std::vector<species::EntryEdit> editsOf(std::span<const FieldChange> changes);

// A line for each change, "Bulbasaur: hp 45 -> 50", and one for the TM and HM flags of an
// entry, "Bulbasaur: tm_hm +TM06 -HM04"; `changes` by position, then field.
[[nodiscard]] std::vector<std::string> describeChanges(std::span<const FieldChange> changes);

} // namespace cli
