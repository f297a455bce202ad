#pragma once

#include "EntryRules.h"

#include "Error.h"
#include "GameEdition.h"
#include "JournalRecovery.h"
#include "OpenFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace species {

// Where an image keeps the base-stat table that its game reads.
struct TablePlace {
    std::int64_t base = 0;       // file offset of list position 0
    int entries = kSpeciesCount; // records from `base` on: the list's 500, or 507 with the forms
    // The archive the game reads, and how many members it has; an empty path when the image
    // has no file system and the edition's fixed base stands in.
    std::string archive;
    int archiveId = -1;
    std::size_t members = 0;
};

// The archive of the file system that `game` reads its table from: member 0 is an empty
// record, members 1 to 500 are list positions 0 to 499, and in Platinum, HeartGold and
// SoulSilver 501 to 507 are the extra forms.
[[nodiscard]] std::string_view tableArchive(nds::Game game);
// Records from member 1 on: 500, or 507 for Platinum, HeartGold and SoulSilver.
[[nodiscard]] int tableEntries(nds::Game game);

// Finds the table in the open image: in the archive that its file system names, which must be
// a NARC of 44-byte records back to back, or, in an image without a file system, at the
// edition's fixed base. A BadContent error says in words why there is none. Everything
// read lies inside the image.
[[nodiscard]] base::Result<TablePlace> findTable(files::OpenFile& file,
                                                 const nds::GameEdition& edition);

// The archive of the file system that `game` reads its evolution records from: one member a
// species, member 0 none, so list position p is member p + 1, as in the base-stat table.
[[nodiscard]] std::string_view evolutionArchive(nds::Game game);

// Finds the evolution records in the open image, as findTable() finds the base stats: in the
// archive its file system names, a NARC of 44-byte members back to back with a member for each
// of the `entries` list positions. An image without a file system has none: a BadContent error
// says why, as for a damaged file system or archive.
[[nodiscard]] base::Result<TablePlace> findEvolutions(files::OpenFile& file,
                                                      const nds::GameEdition& edition, int entries);

// The bytes of the open image that this program writes, for the journal's recovery to keep
// to: the records of its base-stat table and of its evolution table, found as a load finds
// them.
[[nodiscard]] base::Result<std::vector<files::ByteRange>> writableRanges(files::OpenFile& image);

} // namespace species
