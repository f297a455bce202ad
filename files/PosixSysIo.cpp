#include "SysIo.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace files {

static_assert(mode::kType == S_IFMT && mode::kRegular == S_IFREG && mode::kDirectory == S_IFDIR &&
              mode::kCharacterDevice == S_IFCHR && mode::kBlockDevice == S_IFBLK &&
              mode::kFifo == S_IFIFO && mode::kLink == S_IFLNK && mode::kSocket == S_IFSOCK &&
              mode::kSticky == S_ISVTX && mode::kOwnerWrite == S_IWUSR &&
              mode::kGroupWrite == S_IWGRP && mode::kOtherWrite == S_IWOTH);

namespace {

std::int64_t orErrno(std::int64_t result) {
    return result < 0 ? -errno : result;
}

template <typename Call> auto retried(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

void fill(FileStatus& status, const struct stat& info) {
    status.mode = static_cast<unsigned>(info.st_mode);
    status.size = static_cast<std::int64_t>(info.st_size);
    status.device = static_cast<std::uint64_t>(info.st_dev);
    status.inode = static_cast<std::uint64_t>(info.st_ino);
    status.owner = static_cast<unsigned>(info.st_uid);
    status.group = static_cast<unsigned>(info.st_gid);
    status.links = static_cast<std::uint64_t>(info.st_nlink);
}

// Temporary files to remove if a signal ends the process before they are renamed into place.
// The handler may only use what is safe in a signal handler: fixed buffers and unlink.
constexpr std::size_t kPendingSlots = 4;
constexpr std::size_t kPendingPathMax = 4096;
char g_pendingPaths[kPendingSlots][kPendingPathMax];
volatile std::sig_atomic_t g_pendingUsed[kPendingSlots];
constexpr int kFatalSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGXFSZ};

extern "C" void removePendingAndDie(int signal) {
    for (std::size_t slot = 0; slot < kPendingSlots; ++slot)
        if (g_pendingUsed[slot])
            ::unlink(g_pendingPaths[slot]);
    // The handler was reset to the default as it ran: the signal now ends the process as it
    // would have, once the handler returns.
    ::raise(signal);
}

// Catches the fatal signals whose action is the default; one the caller ignores stays ignored.
void catchFatalSignals() {
    for (const int signal : kFatalSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
            (current.sa_flags & SA_SIGINFO))
            continue;
        struct sigaction removing {};
        removing.sa_handler = removePendingAndDie;
        sigemptyset(&removing.sa_mask);
        for (const int other : kFatalSignals)
            sigaddset(&removing.sa_mask, other);
        removing.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &removing, nullptr);
    }
}

void markPending(const std::string& path) {
    if (path.size() >= kPendingPathMax)
        return;
    catchFatalSignals();
    for (std::size_t slot = 0; slot < kPendingSlots; ++slot)
        if (!g_pendingUsed[slot]) {
            std::memcpy(g_pendingPaths[slot], path.c_str(), path.size() + 1);
            g_pendingUsed[slot] = 1;
            return;
        }
}

void clearPending(const std::string& path) {
    for (std::size_t slot = 0; slot < kPendingSlots; ++slot)
        if (g_pendingUsed[slot] && path == g_pendingPaths[slot])
            g_pendingUsed[slot] = 0;
}

class PosixSysIo final : public SysIo {
public:
    int open(const std::string& path, Mode mode) override {
        // Opening a FIFO would wait for its other end: O_NONBLOCK opens it at once, so that
        // OpenFile can refuse it. On a regular file the flag changes nothing, so it stays.
        int flags = O_CLOEXEC;
        if (mode == Mode::ReadOnly)
            flags |= O_RDONLY | O_NONBLOCK;
        else if (mode == Mode::ReadWrite)
            flags |= O_RDWR | O_NONBLOCK; // never O_CREAT: a vanished image must not come back
        else if (mode == Mode::CreateNew)
            flags |= O_WRONLY | O_CREAT | O_EXCL;
        else
            flags |= O_WRONLY;
        const int fd = retried([&] { return ::open(path.c_str(), flags, 0666); });
        return fd < 0 ? -errno : fd;
    }

    int createUnique(std::string& path) override {
        std::vector<char> name(path.begin(), path.end());
        name.push_back('\0');
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return -errno;
        path.assign(name.data());
        markPending(path); // mkostemp made it private (0600)
        return fd;
    }

    std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                       std::int64_t offset) override {
        return orErrno(retried([&] { return ::pread(fd, buffer, count, offset); }));
    }

    std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override {
        return orErrno(retried([&] { return ::pwrite(fd, buffer, count, offset); }));
    }

    std::int64_t read(int fd, std::uint8_t* buffer, std::size_t count) override {
        return orErrno(retried([&] { return ::read(fd, buffer, count); }));
    }

    std::int64_t write(int fd, const std::uint8_t* buffer, std::size_t count) override {
        return orErrno(retried([&] { return ::write(fd, buffer, count); }));
    }

    int status(int fd, FileStatus& status) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            return -errno;
        fill(status, info);
        return 0;
    }

    int status(const std::string& path, FileStatus& status) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return -errno;
        fill(status, info);
        return 0;
    }

    int linkStatus(const std::string& path, FileStatus& status) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            return -errno;
        fill(status, info);
        return 0;
    }

    int readLink(const std::string& path, std::string& target) override {
        std::vector<char> buffer(4096);
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return -errno;
        if (static_cast<std::size_t>(n) == buffer.size())
            return -ENAMETOOLONG;
        target.assign(buffer.data(), static_cast<std::size_t>(n));
        return 0;
    }

    int fsync(int fd) override { return ::fsync(fd) == 0 ? 0 : -errno; }
    int setLength(int fd, std::int64_t length) override {
        return ::ftruncate(fd, static_cast<off_t>(length)) == 0 ? 0 : -errno;
    }

    int syncFolder(const std::string& path) override {
        const int fd =
            retried([&] { return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
        if (fd < 0)
            return -errno;
        const int result = ::fsync(fd) == 0 ? 0 : -errno;
        ::close(fd);
        return result;
    }

    // A failed close is not retried on EINTR: on Linux the descriptor is gone either way.
    int close(int fd) override { return ::close(fd) == 0 ? 0 : -errno; }

    int chmod(const std::string& path, unsigned mode) override {
        return ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : -errno;
    }

    int checkWritable(const std::string& path) override {
        return ::access(path.c_str(), W_OK) == 0 ? 0 : -errno;
    }

    int setMode(int fd, unsigned mode) override {
        return ::fchmod(fd, static_cast<mode_t>(mode)) == 0 ? 0 : -errno;
    }

    int setOwner(int fd, unsigned owner, unsigned group) override {
        return ::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group)) == 0 ? 0 : -errno;
    }

    unsigned newFileMode() override {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666u & ~static_cast<unsigned>(mask);
    }

    unsigned effectiveUser() override { return static_cast<unsigned>(::geteuid()); }

    std::string userName(unsigned user) override {
        struct passwd entry {};
        struct passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(static_cast<uid_t>(user), &entry, buffer.data(), buffer.size(), &found) ==
                0 &&
            found && found->pw_name)
            return found->pw_name;
        return std::to_string(user);
    }

    int lock(int fd, Lock kind) override {
        const int operation = (kind == Lock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
        return retried([&] { return ::flock(fd, operation); }) == 0 ? 0 : -errno;
    }

    int rename(const std::string& from, const std::string& to) override {
        if (std::rename(from.c_str(), to.c_str()) != 0)
            return -errno;
        clearPending(from);
        return 0;
    }

    int unlink(const std::string& path) override {
        if (::unlink(path.c_str()) != 0)
            return -errno;
        clearPending(path);
        return 0;
    }
};

} // namespace

SysIo& systemIo() {
    static PosixSysIo io;
    return io;
}

} // namespace files
