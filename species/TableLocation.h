#pragma once

#include "EntryRules.h"

#include "base/Error.h"
#include "files/OpenFile.h"
#include "nds/GameEdition.h"
#include "nds/NdsFileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace species {

// Where an image keeps a table that its game reads.
struct TablePlace {
    std::int64_t base = 0;       // file offset of list position 0's record
    int entries = kSpeciesCount; // list positions: the list's 500, or 507 with the forms
    // The archive the game reads, and how many members it has; an empty path when the image
    // has no file system and the edition's fixed base stands in.
    std::string archive;
    int archiveId = -1;
    std::size_t members = 0;
    nds::FileSpan file; // the archive's bytes in the image
    // Each list position's record, where records differ in size (a learnset's member); none
    // where they are of one size, back to back from `base`.
    std::vector<nds::FileSpan> records;
    // For a table that is one list of all entries (the egg moves): the bytes the game scans,
    // from `base` on, which the list never passes.
    std::int64_t room = 0;
};

// The archive of the file system that `game` reads its table from: member 0 is an empty
// record, members 1 to 500 are list positions 0 to 499, and in Platinum, HeartGold and
// SoulSilver 501 to 507 are the extra forms.
[[nodiscard]] std::string_view tableArchive(nds::Game game);
// Records from member 1 on: 500, or 507 for Platinum, HeartGold and SoulSilver.
[[nodiscard]] int tableEntries(nds::Game game);

// The archive of the file system that `game` reads its evolution records from: one member a
// species, member 0 none, so list position p is member p + 1, as in the base-stat table.
[[nodiscard]] std::string_view evolutionArchive(nds::Game game);

// Why an image without a file system has no table `noun`, which only a file system places:
// `action` starts the words ("find the evolution table of Diamond (ADAE) in").
[[nodiscard]] base::Error noFileSystem(const files::OpenFile& file, const std::string& action,
                                       std::string_view noun);

// The file system of the open image: nothing when it has none, or an error (a damaged one is
// BadContent) whose words start with `action`.
[[nodiscard]] base::Result<std::optional<nds::NdsFileSystem>>
readFileSystem(files::OpenFile& file, const std::string& action);

// The archive at `path` of the open image's file system `system`, a NARC whose members 1 to
// `entries` are records of `size` bytes back to back; `action` starts the words of an error
// (a BadContent one) that says why it is not.
[[nodiscard]] base::Result<TablePlace> findRecordArchive(files::OpenFile& file,
                                                         const nds::NdsFileSystem& system,
                                                         std::string_view path, int entries,
                                                         int size, const std::string& action);

// "find the evolution table of HeartGold (IPKE) in": the words of a failure to find the table
// `noun`, which name the game, since it is known.
[[nodiscard]] std::string findAction(std::string_view noun, const nds::GameEdition& edition);
// `error` met while finding a table, said with `action` where it is about the image's content
// (a system error keeps its own words).
[[nodiscard]] base::Error whileFinding(base::Error error, const std::string& action);

} // namespace species
