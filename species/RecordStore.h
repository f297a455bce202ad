#pragma once

#include "Record.h"
#include "TableLocation.h"

#include "Error.h"
#include "GameEdition.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace species {

// File offset of the record at `position` of a table of `entries` records from `recordBase`,
// or an error for a position outside the table or a base that would place it outside any file.
[[nodiscard]] files::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position,
                                                       int entries = kSpeciesCount);

// A record and where its table was found.
struct RecordRead {
    TablePlace place;
    Record record;
};

// The record of list `position`, read with one open that also finds the table (findTable), so
// a record is only ever read where the image's own file system puts it.
[[nodiscard]] files::Result<RecordRead> readRecord(files::SysIo& io, const std::string& path,
                                                   const nds::GameEdition& edition, int position);

// The edits of one entry.
struct EntryEdit {
    int position = 0;
    RecordEdit edit;
};

// Writes `edits` into the table at `place` of the image open for writing in `file`: the
// entries edited are read, their edits applied to the bytes the file holds now, and each run
// of neighbouring entries written back with one positioned write (from the first byte a field
// is set in to the last), then the image is flushed once. If a write or the flush fails, what was
// written is put back: the table holds all the old values or all the new.
[[nodiscard]] files::Status writeEntries(files::OpenFile& file, const TablePlace& place,
                                         std::span<const EntryEdit> edits);

// Writes the edits of `position` with one open, which finds the table afresh (it may have
// moved since it was read); success means every byte is on disk. Gives where the table was
// found.
[[nodiscard]] files::Result<TablePlace> saveRecord(files::SysIo& io, const std::string& path,
                                                   const nds::GameEdition& edition, int position,
                                                   const RecordEdit& edit);

// A table's records and where it was found.
struct TableRead {
    TablePlace place;
    std::vector<Record> entries; // place.entries of them
};

// Every record of the table in the open image, read with one positioned read.
[[nodiscard]] files::Result<TableRead> readTable(files::OpenFile& file,
                                                 const nds::GameEdition& edition);

} // namespace species
