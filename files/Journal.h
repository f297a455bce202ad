#pragma once

#include "Error.h"
#include "FileAccess.h"
#include "OpenFile.h"

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

// The journal of the image at `image`: "<image>.statwright-journal".
[[nodiscard]] std::string journalPath(const std::string& image);

// Writes each span's new bytes into `image` (open for writing, and locked) under a journal
// named after what the write is for (`label`: "import of \"stats.csv\""): at most four
// flushes, two for the journal and its folder, one for the image and one for the folder once
// the journal is gone. A journal that cannot be made (a read-only folder) refuses the write
// before anything is written. A failed write puts the old bytes back, as rewrite() does; if
// that fails too, the journal stays for the next opening to finish the job.
[[nodiscard]] Status rewriteWithJournal(OpenFile& image, std::span<const Rewrite> spans,
                                        const std::string& label);

// What the recovery from a leftover journal found and did.
struct Recovery {
    enum class Found {
        Torn,       // the journal was never finished, so the image was never touched
        Completed,  // every span held its new bytes: only the journal's removal was lost
        RolledBack, // the old bytes were put back (or had never been replaced)
    };
    Found found = Found::Torn;
    std::string image;
    std::string label;   // what the interrupted write was for; empty for a torn journal
    std::string started; // when it began, "2026-12-08 14:02 UTC"; empty for a torn journal

    // One sentence for the user: what was found and what was done.
    [[nodiscard]] std::string describe() const;
};

// Recovers `image` (open for writing, and locked exclusively) from the journal beside it, if
// there is one. A journal written for another file, or whose spans hold bytes that are
// neither the old nor the new ones, is left alone: the error names it, and nothing is
// written.
[[nodiscard]] Result<std::optional<Recovery>> recoverJournal(OpenFile& image);

// What a journal holds.
struct JournalContent {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t started = 0; // seconds since 1970, UTC
    std::string label;
    std::vector<Rewrite> spans;
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
