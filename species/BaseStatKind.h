#pragma once

#include "RecordKind.h"

namespace species {

// The base stats: a 44-byte record an entry, in the archive each game reads, or at the
// edition's fixed place in an image without a file system. Every image must have them.
[[nodiscard]] const RecordKind& baseStatKind();

} // namespace species
