#include "SysIo.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rom {
namespace {

std::int64_t orErrno(std::int64_t result) {
    return result < 0 ? -errno : result;
}

class PosixSysIo final : public SysIo {
public:
    int open(const std::string& path, Mode mode) override {
        int flags = O_CLOEXEC;
        if (mode == Mode::ReadOnly)
            flags |= O_RDONLY;
        else if (mode == Mode::ReadWrite)
            flags |= O_RDWR; // never O_CREAT: a vanished image must not come back empty
        else
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
        int fd;
        do {
            fd = ::open(path.c_str(), flags, 0666);
        } while (fd < 0 && errno == EINTR);
        return fd < 0 ? -errno : fd;
    }

    std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                       std::int64_t offset) override {
        ssize_t n;
        do {
            n = ::pread(fd, buffer, count, static_cast<off_t>(offset));
        } while (n < 0 && errno == EINTR);
        return orErrno(n);
    }

    std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override {
        ssize_t n;
        do {
            n = ::pwrite(fd, buffer, count, static_cast<off_t>(offset));
        } while (n < 0 && errno == EINTR);
        return orErrno(n);
    }

    std::int64_t fileSize(int fd) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            return -errno;
        return static_cast<std::int64_t>(info.st_size);
    }

    int fsync(int fd) override { return ::fsync(fd) == 0 ? 0 : -errno; }

    // A failed close is not retried on EINTR: on Linux the descriptor is gone either way.
    int close(int fd) override { return ::close(fd) == 0 ? 0 : -errno; }

    std::int64_t fileMode(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return -errno;
        return static_cast<std::int64_t>(info.st_mode);
    }

    int chmod(const std::string& path, unsigned mode) override {
        return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : -errno;
    }

    int rename(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : -errno;
    }

    int unlink(const std::string& path) override {
        return ::unlink(path.c_str()) == 0 ? 0 : -errno;
    }
};

} // namespace

SysIo& systemIo() {
    static PosixSysIo io;
    return io;
}

} // namespace rom
