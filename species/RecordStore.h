#pragma once

#include "Record.h"
#include "TableLocation.h"

#include "Error.h"
#include "GameEdition.h"
#include "LockedFile.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace species {

// File offset of the record at `position` of a table of `entries` records from `recordBase`,
// or an error for a position outside the table or a base that would place it outside any file.
[[nodiscard]] base::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position,
                                                      int entries = kSpeciesCount);

// A record and where its table was found.
struct RecordRead {
    TablePlace place;
    Record record;
    files::OpenNotes notes;
};

// The record of list `position`, read with one open that also finds the table (findTable), so
// a record is only ever read where the image's own file system puts it. The image is locked
// for reading meanwhile.
[[nodiscard]] base::Result<RecordRead> readRecord(files::SysIo& io, const std::string& path,
                                                  const nds::GameEdition& edition, int position);

// The edits of one entry.
struct EntryEdit {
    int position = 0;
    RecordEdit edit;
};

// Writes `edits` into the table at `place` of the image open for writing in `file`, and locked:
// the entries edited are read, their edits applied to the bytes the file holds now, and each
// run of neighbouring entries written back with one positioned write (from the first byte a
// field is set in to the last), under a journal named for `label` ("import of \"stats.csv\"").
// The table holds all the old values or all the new, even if the program dies half way.
[[nodiscard]] base::Status writeEntries(files::OpenFile& file, const TablePlace& place,
                                        std::span<const EntryEdit> edits, const std::string& label);

// What a save of one entry found and did.
struct RecordSave {
    // The record on disk was not the one expected: nothing was written, and `before` is what
    // the disk holds now.
    bool changedOnDisk = false;
    TablePlace place;
    Record before; // the record as the save found it
    Record after;  // the record as the save left it
    files::OpenNotes notes;
};

// Writes the edits of `position` with one open, locked from finding the table afresh (it may
// have moved since it was read) to the last flush; success means every byte is on disk. With
// an `expected` record, writes only if the disk still holds it.
[[nodiscard]] base::Result<RecordSave>
saveRecord(files::SysIo& io, const std::string& path, const nds::GameEdition& edition, int position,
           const RecordEdit& edit, const std::optional<Record>& expected, const std::string& label);

// The edit that sets every field to its value in `record`.
[[nodiscard]] RecordEdit wholeRecord(const Record& record);

// A table's records and where it was found.
struct TableRead {
    TablePlace place;
    std::vector<Record> entries; // place.entries of them
};

// Every record of the table in the open image, read with one positioned read.
[[nodiscard]] base::Result<TableRead> readTable(files::OpenFile& file,
                                                const nds::GameEdition& edition);

} // namespace species
