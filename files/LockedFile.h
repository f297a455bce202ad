#pragma once

#include "Error.h"
#include "Journal.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <optional>
#include <string>

namespace files {

// What opening an image found, for the user to hear of.
struct OpenNotes {
    // What the journal of a write that died with its writer held, if there was one.
    std::optional<Recovery> recovery;
    // The file system has no locks (some network and FUSE ones): opened without one.
    bool unlocked = false;
};

// What an operation does with an image: reads it, or writes into it too.
enum class Access { Read, Write };

// An image open for one operation and locked for its length: shared to read, exclusive to
// write, so that no reader sees a write half done and no two writes interleave. The lock goes
// with the descriptor, when the file is closed or the process ends.
struct LockedFile {
    OpenFile file;
    OpenNotes notes;
};

// Opens the image at `path` (read-only to read, for writing to write), locks it, and first
// recovers it from the journal an interrupted write left beside it, if any. A writer that
// finds the image locked waits a few seconds before failing; so does a reader that finds it
// being written.
[[nodiscard]] Result<LockedFile> openLocked(SysIo& io, const std::string& path, Access access);

} // namespace files
