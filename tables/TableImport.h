#pragma once

#include "TableReader.h"

#include "nds/GameEdition.h"
#include "species/Change.h"
#include "species/FieldLayout.h"
#include "species/Record.h"
#include "species/Tables.h"

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

// Judges every row against the tables of an image of `game` as they are now: each entry once,
// under its own name, with values the window could have stored, and nothing changed that the
// window keeps fixed. Columns of another kind of record (the evolution table's) are judged
// against its table, and refused for an image without one. `cancelled`, if given, is asked
// between rows: once it says so, planning stops, and the plan is to be dropped.
[[nodiscard]] ImportPlan planImport(const InputTable& input, const species::Tables& tables,
                                    nds::Game game, const std::function<bool()>& cancelled = {});

} // namespace tables
