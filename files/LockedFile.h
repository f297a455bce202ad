#pragma once

#include "JournalRecovery.h"
#include "OpenFile.h"
#include "SysIo.h"
#include "base/Error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace files {

// What opening an image found, for the user to hear of.
struct OpenNotes {
    // What the journals of writes that died with their writer held, if there were any.
    std::vector<Recovery> recoveries;
    // The file system has no locks (some network and FUSE ones): opened without one.
    bool unlocked = false;
    // How many names the image has: more than one, and the program will not write into it.
    std::uint64_t links = 1;
};

// What an operation does with an image.
enum class Access {
    Read,    // reads it, after recovering it from a leftover journal
    Write,   // writes into it too, after recovering it
    Inspect, // reads it, and writes nothing at all: a leftover journal is an error that says
             // what recovery would do
};

// An image open for one operation and locked for its length: shared to read, exclusive to
// write, so that no reader sees a write half done and no two writes interleave. The lock goes
// with the descriptor, when the file is closed or the process ends.
struct LockedFile {
    OpenFile file;
    OpenNotes notes;
};

// Opens the image at `path` (read-only to read, for writing to write), locks it, and first
// recovers it from the journal an interrupted write left beside it, if any, within `scope`. A
// writer that finds the image locked waits a few seconds before failing; so does a reader that
// finds it being written. An image with more than one name is never opened for writing.
[[nodiscard]] base::Result<LockedFile> openLocked(SysIo& io, const std::string& path, Access access,
                                                  const JournalScope& scope);

} // namespace files
