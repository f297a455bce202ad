#pragma once

#include "Change.h"
#include "Record.h"
#include "TableLocation.h"

#include "base/Error.h"
#include "files/FileAccess.h"
#include "files/OpenFile.h"

#include <cstdint>
#include <span>
#include <vector>

// Tables of 44-byte records back to back, one a list position, as the base stats and the
// evolutions are kept: where each record lies, reading them, and the spans a write makes.
namespace species {

// File offset of the record at `position` of a table of `entries` records from `recordBase`,
// or an error for a position outside the table or a base that would place it outside any file.
[[nodiscard]] base::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position,
                                                      int entries = kSpeciesCount);

// The record at `position` of the table at `place`, in the open image.
[[nodiscard]] base::Result<Record> recordAt(files::OpenFile& file, const TablePlace& place,
                                            int position);

// Every record of the table at `place`, read with one positioned read.
[[nodiscard]] base::Result<std::vector<Record>> readRecords(files::OpenFile& file,
                                                            const TablePlace& place);

// The spans that write `changes` into the table at `place` over the bytes the file holds now:
// one for each run of neighbouring entries, from the first byte any change sets to the last.
// A change is written even where it sets a field to the value it holds.
[[nodiscard]] base::Result<std::vector<files::Rewrite>>
recordRewrites(files::OpenFile& file, const TablePlace& place, std::vector<Change> changes);

} // namespace species
