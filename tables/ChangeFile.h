#pragma once

#include "TableReader.h"

#include "base/Error.h"
#include "files/SysIo.h"

#include <cstdint>
#include <string>

// A file of changes as a user gives it, read whole before any image is opened: a table of
// entries, which import reads, or a patch, which apply reads.
namespace tables {

// A whole table with every text, or a patch of every field, is well under this.
inline constexpr std::int64_t kMaxChangeFile = 16 << 20;

struct ChangeFile {
    std::string name; // what messages call it: its path, or "standard input"
    std::string text;
    FileKind kind = FileKind::Unknown; // as its first bytes tell
    bool json = false;                 // whether it starts as JSON does
};

// All of the file at `path` (`-`: standard input), refused above kMaxChangeFile; what its first
// bytes tell of it. The image stays unlocked while a pipe or a terminal is slow to give it, and
// a command that writes the file from the image can finish.
[[nodiscard]] base::Result<ChangeFile> readChangeFile(files::SysIo& io, const std::string& path);

} // namespace tables
