#pragma once

#include "FileAccess.h"
#include "OpenFile.h"
#include "base/Error.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace files {

// Bytes [start, end) of an image.
struct ByteRange {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// The bytes of the image open in its argument that this program writes, and so the only ones
// a journal of it may hold: the records of the tables it edits, found in the image itself. An
// error says why they cannot be found.
using JournalScope = std::function<base::Result<std::vector<ByteRange>>(OpenFile&)>;

// What the recovery from a leftover journal found and did (or, for a dry run, would do).
struct Recovery {
    enum class Found {
        Torn,       // the journal was never finished, so the image was never touched
        Untouched,  // the journal was finished, but no byte of the image had been written
        Completed,  // every span held its new bytes: only the journal's removal was lost
        RolledBack, // the old bytes were put back
        // The journal was written for another image, whose long name gives the same journal
        // name: left alone for that image's next opening. This image is read as it is, and
        // not written while the journal waits.
        OtherImage,
    };
    Found found = Found::Torn;
    std::string image;
    std::string journal;    // where the journal lies
    std::string otherImage; // for OtherImage: the name of the image it belongs to
    std::string label;      // what the interrupted write was for; empty for a torn journal
    std::string started;    // when it began, "2026-12-08 14:02:09 UTC"; empty for a torn journal
    // The journal's volume keeps no owners (FAT32, exFAT): it was trusted for the image it
    // names alone, which the sentences say.
    bool ownerUnchecked = false;

    // One sentence for the user: what was found and what was done.
    [[nodiscard]] std::string describe() const;
    // One sentence for the user: what was found, and that the next opening that is not a dry
    // run does what describe() tells.
    [[nodiscard]] std::string describePending() const;

private:
    [[nodiscard]] std::string sentence() const;
    [[nodiscard]] std::string pendingSentence() const;
};

// Whether anything stands where a journal of `image` may lie, a dangling link included.
[[nodiscard]] base::Result<bool> journalThere(SysIo& io, const std::string& image);

// Recovers `image` (open for writing, and locked exclusively) from the journals beside it, if
// there are any. Only a journal that this program could have written is acted on: a regular
// file of the user or of root that no one else may write, written for this very file, whose
// spans lie apart and inside the bytes `scope` gives, and hold the journal's old or new bytes.
// Anything else is left alone: the error names it and why, and nothing is written. A journal
// of another image's name is left alone too, and told of as OtherImage.
[[nodiscard]] base::Result<std::vector<Recovery>> recoverJournals(OpenFile& image,
                                                                  const JournalScope& scope);

// What recoverJournals() would do, found with the image open only for reading, and without
// writing anything.
[[nodiscard]] base::Result<std::vector<Recovery>> examineJournals(OpenFile& image,
                                                                  const JournalScope& scope);

// Why a write into `image` must wait while the journal of another image, `other`, lies at its
// journal's place (a Refused error).
[[nodiscard]] base::Error otherImagesJournal(const std::string& image, const Recovery& other);

} // namespace files
