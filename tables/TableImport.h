#pragma once

#include "TableReader.h"

#include "Change.h"
#include "FieldLayout.h"
#include "GameEdition.h"
#include "Record.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

// The rules of an import: what an edited table may change in an image, and how.
namespace tables {

struct ImportPlan {
    std::vector<species::Change> changes; // by position, then field
    ProblemList problems;                 // any problem means nothing may be written
};

// Judges every row against the entries of an image of `game` as they are now: each entry
// once, under its own name, with values the window could have stored, and nothing changed
// that the window keeps fixed.
// Columns of the evolution table are judged against `evolutions`, the image's evolution
// records: a table that carries them into an image without any is refused.
// `cancelled`, if given, is asked between rows: once it says so, planning stops, and the plan
// is to be dropped.
[[nodiscard]] ImportPlan planImport(const InputTable& input,
                                    std::span<const species::Record> entries, nds::Game game,
                                    std::span<const species::Record> evolutions = {},
                                    const std::function<bool()>& cancelled = {});

} // namespace tables
