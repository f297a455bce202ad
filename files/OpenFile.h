#pragma once

#include "SysIo.h"
#include "base/Error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace files {

using Bytes = std::vector<std::uint8_t>;

// One open descriptor of a regular file for the length of one operation. Reads and writes are
// bounded by the file's length: a read past the end fails, and a write never makes the file
// longer; only setLength() does, or makes it shorter.
class OpenFile {
public:
    [[nodiscard]] static base::Result<OpenFile> open(SysIo& io, const std::string& path,
                                                     SysIo::Mode mode);

    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&&) = delete;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile(); // closes, ignoring errors, if close() was not called

    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] SysIo& io() const { return m_io; }
    // What the system told of the file at opening: its device, inode, size and mode.
    [[nodiscard]] const FileStatus& status() const { return m_status; }

    // The length at opening; a file is not expected to change length within one operation,
    // and reads past the end are still caught by the read itself.
    [[nodiscard]] std::int64_t size() const { return m_size; }
    [[nodiscard]] base::Result<Bytes> read(std::int64_t offset, std::int64_t count);
    // Writes all of `bytes`; on failure, `written` tells how many of them reached the file.
    [[nodiscard]] base::Status write(std::int64_t offset, const Bytes& bytes, std::size_t* written);
    [[nodiscard]] base::Status sync();
    // Makes the file `length` bytes long: cut short, or longer with zero bytes.
    [[nodiscard]] base::Status setLength(std::int64_t length);
    // Locks the whole file (shared, to read; exclusive, to write), waiting a few seconds for
    // another program's lock to go. False where the file system has no locks: the caller goes
    // on without one. An error says the file is being written by another program.
    [[nodiscard]] base::Result<bool> lock(SysIo::Lock kind);
    [[nodiscard]] base::Status close();

    // Bytes that reads see in place of the file's own, from `offset` on.
    struct Overlay {
        std::int64_t offset;
        Bytes bytes;
    };
    // Until showAsIs(), reads see `overlays` over the file's bytes, and the file as `length`
    // long (no longer than it is): the image as a rollback would leave it, so that a journal is
    // judged against the image it was written for before anything of it is put back.
    void showAsBefore(std::vector<Overlay> overlays, std::int64_t length);
    void showAsIs();

private:
    OpenFile(SysIo& io, std::string path, int fd) : m_io(io), m_path(std::move(path)), m_fd(fd) {}
    [[nodiscard]] base::Status checkSpan(std::int64_t offset, std::int64_t count, const char* verb);

    SysIo& m_io;
    std::string m_path;
    int m_fd = -1;
    std::int64_t m_size = 0;
    FileStatus m_status;
    std::vector<Overlay> m_overlays;
    std::int64_t m_ownSize = -1; // the file's length while overlays are shown, else -1
};

} // namespace files
