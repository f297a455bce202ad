#pragma once

#include "species/Record.h"

#include "base/Error.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The columns of an exported table (or the members of a JSON entry), built once from the
// record's field table, and how the TM and HM flags read as one column.
namespace tables {

// The column of all the TM and HM flags: the names of those set, in order ("TM01 TM06 HM04").
inline constexpr std::string_view kTmHmColumn = "tm_hm";

// position, species, a column per field of the main window, one per EV yield, flip, tm_hm.
[[nodiscard]] std::span<const std::string> columns();
// The columns every table has: position and species. Any other column may be left out, and
// the fields it stands for stay as they are.
[[nodiscard]] std::span<const std::string> requiredColumns();
// Whether `name` is a column of a table of entries: of the base stats, or of the evolutions.
[[nodiscard]] bool isColumn(const std::string& name);
// The columns of the evolution table: position, species, evo1_method to evo7_target, and
// evolutions_text, the used slots in words.
[[nodiscard]] std::span<const std::string> evolutionColumns();
inline constexpr std::string_view kEvolutionsTextColumn = "evolutions_text";
// The columns of the learnset table, a row a move: position, species, level, move. In JSON, an
// entry holds its list in one member, "moves": ["1 Tackle", "4 Growl"].
[[nodiscard]] std::span<const std::string> learnsetColumns();
inline constexpr std::string_view kMovesMember = "moves";
// The columns of the egg-move table, a row a move: position, species, move. In JSON, an entry
// holds its moves in one member, "egg_moves": ["Bite", "Extreme Speed"].
[[nodiscard]] std::span<const std::string> eggMoveColumns();
inline constexpr std::string_view kEggMovesMember = "egg_moves";
// Whether a CSV header of `columns` (in lower case) is that of a table of moves, a row a move:
// the learnsets' or the egg moves'.
[[nodiscard]] bool isMoveListHeader(const std::vector<std::string>& columns);
// The list text that export writes next to a listed field: "type1_text", "tm_hm_text".
[[nodiscard]] bool isTextCompanion(const std::string& name);

// The flags (0 to 99) set in `record`.
[[nodiscard]] std::vector<int> tmHmFlags(const species::Record& record);
// "TM01 TM06 HM04"
[[nodiscard]] std::string tmHmNames(std::span<const int> flags);
// The flags a tm_hm cell names, separated by spaces; an error's reason says which name is
// no TM or HM, or is named twice.
[[nodiscard]] base::Result<std::vector<int>> parseTmHmNames(std::string_view text);

} // namespace tables
