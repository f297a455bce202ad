#pragma once

#include "OpenFile.h"
#include "Paths.h"
#include "SysIo.h"
#include "base/Error.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace files {

// A span of a file to rewrite: where it starts, the bytes it holds and the bytes to put there
// (as many).
struct Rewrite {
    std::int64_t offset = 0;
    Bytes before;
    Bytes after;
};

// Writes each span's new bytes into a file opened for writing, one positioned write each, then
// flushes once. If a write or the flush fails, the spans already written get their old bytes
// back, so the file holds all the old bytes or all the new, never a mix; the error says
// whether putting them back worked, and so does `putBack` if given.
[[nodiscard]] base::Status rewrite(OpenFile& file, std::span<const Rewrite> spans,
                                   bool* putBack = nullptr);

// Writes `bytes` to a new file at `path`, flushed to disk with its folder, and never replaces
// what is there already (EEXIST). The file gets the permission bits `mode`, whatever the umask,
// or, without one, those any new file gets. A failed write leaves no file behind.
[[nodiscard]] base::Status writeNewFile(SysIo& io, const std::string& path, const Bytes& bytes,
                                        std::optional<unsigned> mode = std::nullopt);

// Everything the open stream `fd` (standard input, a pipe) gives until its end, refused when
// it is more than `maxBytes`; `name` names it in errors.
[[nodiscard]] base::Result<Bytes> readStream(SysIo& io, int fd, const std::string& name,
                                             std::int64_t maxBytes);

// The whole file, refused when it is larger than `maxBytes`.
[[nodiscard]] base::Result<Bytes> readWholeFile(SysIo& io, const std::string& path,
                                                std::int64_t maxBytes);

// Puts `bytes` in place of the file at `path` (made if missing), so that it is never seen half
// written: they go to a new file with a unique name in the same folder, which gets the
// replaced file's permission bits, is flushed and renamed over it, and then the folder is
// flushed. A symbolic link is followed to the file it names, and stays a link. What is not a
// regular file (a FIFO, a terminal, /dev/stdout) is written straight into instead.
[[nodiscard]] base::Status replaceFile(SysIo& io, const std::string& path, const Bytes& bytes);

// Gives the owner write permission if the file lacks it, so later in-place writes are not
// refused because of a read-only flag (a file that is owner-writable already is left alone),
// then asks whether writes will be allowed at all: an error says why they will not.
[[nodiscard]] base::Status makeOwnerWritable(SysIo& io, const std::string& path);

// The file that `path` finally names, its symbolic links followed (the folders on the way are
// left to the system, which resolves them alike for every name made from the result).
[[nodiscard]] base::Result<std::string> resolveLinks(SysIo& io, const std::string& path);

// Flushes to disk the folder that holds `path`, so that a name made or removed in it lasts.
[[nodiscard]] base::Status syncFolderOf(SysIo& io, const std::string& path);

} // namespace files
