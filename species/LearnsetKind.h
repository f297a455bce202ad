#pragma once

#include "RecordKind.h"

#include "nds/GameEdition.h"

#include <string_view>

namespace species {

// The archive of the file system that `game` reads its learnsets from: member n is the list of
// member n of the base-stat table, so list position p is member p + 1.
[[nodiscard]] std::string_view learnsetArchive(nds::Game game);

// The level-up moves: a list of up to 20 an entry, the members of an archive of lists of
// different sizes; a list that outgrows its member has the archive made anew, 44 bytes a
// member, where it lies or after everything else the image uses. Only images with a file
// system have them.
[[nodiscard]] const RecordKind& learnsetKind();

// Whether the learnset archive at `place` has room for 20 moves in every list, as it is
// written anew when a list outgrows its member; the games' own archives never have.
[[nodiscard]] bool hasRoomForEveryList(const TablePlace& place);

} // namespace species
