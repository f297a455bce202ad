#pragma once

#include "RecordKind.h"

namespace species {

// The evolutions: seven slots an entry, a 44-byte record in the archive each game reads; only
// images with a file system have them, and the game reads none for the Egg entries and forms.
[[nodiscard]] const RecordKind& evolutionKind();

} // namespace species
