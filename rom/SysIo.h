#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rom {

// The system calls that every file access of the program goes through. Each call returns a
// non-negative result or the negated platform error number, so a test double can fail any
// single call with any error.
class SysIo {
public:
    enum class Mode {
        ReadOnly,
        ReadWrite,
        Create, // write-only; made if missing, emptied if there
    };

    virtual ~SysIo() = default;

    virtual int open(const std::string& path, Mode mode) = 0; // descriptor
    virtual std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                               std::int64_t offset) = 0;
    virtual std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                                std::int64_t offset) = 0;
    virtual std::int64_t fileSize(int fd) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual std::int64_t fileMode(const std::string& path) = 0; // st_mode
    virtual int chmod(const std::string& path, unsigned mode) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
};

// The real POSIX implementation, shared by the whole process.
SysIo& systemIo();

} // namespace rom
