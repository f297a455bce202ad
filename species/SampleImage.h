#pragma once

#include "Record.h"

#include "files/OpenFile.h"
#include "nds/GameEdition.h"

namespace species {

// Made-up values for the table entry at `position`, computed from the position alone: a
// plausible record for trying the program out, not data taken from any game.
[[nodiscard]] Record sampleEntry(int position);

// Made-up evolutions for the table entry at `position`: a level or an item into the next
// species, or none.
[[nodiscard]] Record sampleEvolutions(int position);

// A small image of `edition` with a real file system that holds, where its game reads it, an
// archive of sample entries.
[[nodiscard]] files::Bytes sampleImage(const nds::GameEdition& edition);

} // namespace species
