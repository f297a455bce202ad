#pragma once

#include "RecordKind.h"

#include "nds/GameEdition.h"

#include <string_view>

namespace species {

// Where `game` keeps its list of egg moves: the path of the archive whose one member it is
// (HeartGold and SoulSilver), or empty where it lies inside ARM9 overlay 5.
[[nodiscard]] std::string_view eggMoveArchive(nds::Game game);
inline constexpr int kEggMoveOverlay = 5;

// The egg moves: one list of the game's for all species, of a fixed number of words, found
// by its shape and written whole where it lies, never past that number. An entry's record is
// its species' moves; the forms show their species', the Egg entries none.
[[nodiscard]] const RecordKind& eggMoveKind();

// The words of the game's list at `place` that its egg moves `records` (one an entry) leave
// free.
[[nodiscard]] int eggListFreeWords(const TablePlace& place, const std::vector<Record>& records);

} // namespace species
