#pragma once

#include "RecordCodec.h"
#include "TableLocation.h"

#include "Error.h"
#include "GameEdition.h"
#include "SysIo.h"

#include <cstdint>
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
    RecordBytes bytes; // all 44
};

// The whole record of list `position`, read with one open that also finds the table
// (findTable), so a record is only ever read where the image's own file system puts it.
[[nodiscard]] files::Result<RecordRead> readRecord(files::SysIo& io, const std::string& path,
                                                   const nds::GameEdition& edition, int position);

// Writes the edited fields of `position` with one open, which finds the table afresh (it may
// have moved since it was read), one positioned write of the edited span and a flush to the
// device. Bytes that the edit does not set are written back exactly as the file holds them at
// that moment; success means every byte is on disk. Gives where the table was found.
[[nodiscard]] files::Result<TablePlace> saveRecord(files::SysIo& io, const std::string& path,
                                                   const nds::GameEdition& edition, int position,
                                                   const RecordEdit& edit);

// A table's records, decoded, and where it was found.
struct TableRead {
    TablePlace place;
    std::vector<FieldValues> entries; // place.entries of them
};

// Every record of the table in the open image, read with one positioned read.
[[nodiscard]] files::Result<TableRead> readTable(files::OpenFile& file,
                                                 const nds::GameEdition& edition);

} // namespace species
