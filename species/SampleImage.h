#pragma once

#include "Record.h"

#include "files/OpenFile.h"
#include "nds/GameEdition.h"

#include <vector>

namespace species {

// Made-up values for the table entry at `position`, computed from the position alone: a
// plausible record for trying the program out, not data taken from any game.
[[nodiscard]] Record sampleEntry(int position);

// Made-up evolutions for the table entry at `position`: a level or an item into the next
// species, or none.
[[nodiscard]] Record sampleEvolutions(int position);

// Made-up level-up moves for the table entry at `position`: lists of every length from 0 to
// 20, each in a member of its own size rounded up to four bytes, so that lists of an even
// length have room for one more move and the others none.
[[nodiscard]] Record sampleLearnset(int position);

// Made-up egg moves of the species `species` (1 to 493): a third of the species have 1 to 16,
// the rest none; all of them together leave words of the game's list free.
[[nodiscard]] std::vector<int> sampleEggMoves(int species);

// A small image of `edition` with a real file system that holds, where its game reads it, an
// archive of sample entries.
[[nodiscard]] files::Bytes sampleImage(const nds::GameEdition& edition);

} // namespace species
