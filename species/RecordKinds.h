#pragma once

#include "RecordKind.h"

#include "base/Error.h"
#include "files/JournalRecovery.h"
#include "files/OpenFile.h"

#include <span>
#include <vector>

// The kinds of record the program edits, in the order an entry's records are read and written:
// the base stats first, whose table every image must have, then the others, which an image
// may lack.
namespace species {

[[nodiscard]] std::span<const RecordKind* const> recordKinds();
[[nodiscard]] const RecordKind& recordKind(Kind kind);
// The kind of record `field` belongs to.
[[nodiscard]] const RecordKind& recordKindOf(Field field);

// The bytes of the open image that this program writes, for the journal's recovery to keep to:
// those of every kind's table that the image has, found as a load finds them. An error when the
// base-stat table is missing, since then nothing is ever written.
[[nodiscard]] base::Result<std::vector<files::ByteRange>> writableRanges(files::OpenFile& image);

} // namespace species
