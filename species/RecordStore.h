#pragma once

#include "Change.h"
#include "Record.h"
#include "TableLocation.h"

#include "Error.h"
#include "OpenFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The records of a table in an image open for one operation: where each lies, reading them,
// and writing changes into them. The edit session opens the image and finds the table.
namespace species {

// File offset of the record at `position` of a table of `entries` records from `recordBase`,
// or an error for a position outside the table or a base that would place it outside any file.
[[nodiscard]] base::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position,
                                                      int entries = kSpeciesCount);

// The record at `position` of the table at `place`.
[[nodiscard]] base::Result<Record> readEntry(files::OpenFile& file, const TablePlace& place,
                                             int position);

// Every record of the table at `place`, read with one positioned read.
[[nodiscard]] base::Result<std::vector<Record>> readEntries(files::OpenFile& file,
                                                            const TablePlace& place);

// Where an image keeps the records of its entries: the base stats, and the evolutions where its
// file system has them.
struct Tables {
    TablePlace stats;
    std::optional<TablePlace> evolutions;
};

// Writes `changes` into the tables of the image open for writing in `file`, and locked: the
// entries changed are read, their changes applied to the bytes the file holds now, and each run
// of neighbouring entries of a table written back with one positioned write (from the first
// byte a change sets to the last), all under one journal named for `label` ("import of
// \"stats.csv\""). The tables hold all the old values or all the new, even if the program dies
// half way. Evolution changes in an image without an evolution table are refused.
[[nodiscard]] base::Status writeChanges(files::OpenFile& file, const Tables& tables,
                                        std::span<const Change> changes, const std::string& label);

} // namespace species
