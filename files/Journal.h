#pragma once

#include "FileAccess.h"
#include "OpenFile.h"
#include "base/Error.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace files {

// A rollback journal makes an in-place write of an image all or nothing, even across a crash
// or a power cut: before the first byte is written, the journal beside the image receives
// the image's identity and every span about to be written, with its old and new bytes and
// their checksums, and reaches the disk. Only then is the image written and flushed, and the
// journal removed. A journal found later is the leftover of a writer that died: the next
// opening puts the old bytes back (or, if every span holds the new ones, just removes it).

// The name of the journal of an image file named `name` (without its folder):
// "<name>.statwright-journal", or, where that would be longer than a file name may be, the name
// cut at a character's boundary, a dot and eight hex digits of a checksum of the whole name.
[[nodiscard]] std::string journalName(const std::string& name);

// Where the journal of the image at `image` lies: beside the file that the path names once its
// symbolic links are followed, so that every link to one image finds the one journal.
[[nodiscard]] base::Result<std::string> journalPath(SysIo& io, const std::string& image);

// Every place where a journal of `image` may lie: journalPath(), and beside the name given,
// where earlier versions of the program wrote it, if that is another place.
[[nodiscard]] base::Result<std::vector<std::string>> journalPlaces(SysIo& io,
                                                                   const std::string& image);

// Writes each span's new bytes into `image` (open for writing, and locked) under a journal
// named after what the write is for (`label`: "import of \"stats.csv\""): at most four
// flushes, two for the journal and its folder, one for the image and one for the folder once
// the journal is gone. A journal that cannot be made (a read-only folder) refuses the write
// before anything is written. With `length` beyond the image's, the image is first made that
// long (the one write that makes a file longer); the spans past its old end hold zeros as
// their old bytes. With a `length` short of the image's (undoing such a write), the image is
// cut to it once the spans are written. A failed write puts the old bytes back, as rewrite()
// does, and the old length; if that fails too, the journal stays for the next opening to
// finish the job.
[[nodiscard]] base::Status rewriteWithJournal(OpenFile& image, std::span<const Rewrite> spans,
                                              const std::string& label, std::int64_t length = 0);

// Removes the journal at `journal`, and flushes its folder so that it stays removed.
[[nodiscard]] base::Status removeJournal(SysIo& io, const std::string& journal);

// What a journal holds.
struct JournalContent {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t started = 0; // seconds since 1970, UTC
    std::string label;
    std::vector<Rewrite> spans;
    // The last name of the image it was written for, its links followed: two images whose
    // long names give one journal name tell their journals apart by it. Empty in the journals
    // of earlier versions, which did not record it.
    std::string image;
    // The image's length once written, when the write changes it from `size`; else 0.
    std::int64_t length = 0;
};

// The bytes of a journal.
[[nodiscard]] Bytes encodeJournal(const JournalContent& content);

// What a journal's bytes say: its content, or that it is torn (cut short, or its checksum
// fails) or foreign (not a journal of this program at all).
struct DecodedJournal {
    enum class State { Whole, Torn, Foreign };
    State state = State::Torn;
    JournalContent content;
};
[[nodiscard]] DecodedJournal decodeJournal(std::span<const std::uint8_t> bytes);

} // namespace files
