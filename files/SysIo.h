#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace files {

// The type and permission bits of FileStatus::mode, numbered as POSIX numbers them; a system
// without them (Windows) gives its files the nearest.
namespace mode {
inline constexpr unsigned kType = 0170000;
inline constexpr unsigned kRegular = 0100000;
inline constexpr unsigned kDirectory = 0040000;
inline constexpr unsigned kCharacterDevice = 0020000;
inline constexpr unsigned kBlockDevice = 0060000;
inline constexpr unsigned kFifo = 0010000;
inline constexpr unsigned kLink = 0120000;
inline constexpr unsigned kSocket = 0140000;
inline constexpr unsigned kPermissions = 07777;
inline constexpr unsigned kSticky = 01000;
inline constexpr unsigned kOwnerWrite = 0200;
inline constexpr unsigned kGroupWrite = 020;
inline constexpr unsigned kOtherWrite = 02;
} // namespace mode

// What the system tells of a file (fstat or stat).
struct FileStatus {
    unsigned mode = 0; // type and permission bits, as st_mode
    std::int64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    unsigned owner = 0;      // user id
    unsigned group = 0;      // group id
    std::uint64_t links = 1; // names the file has (hard links)
    // Whether the volume records who owns its files: not on FAT32 or exFAT, where `owner` is
    // the user asking.
    bool ownerKnown = true;

    [[nodiscard]] bool isRegular() const { return isA(mode::kRegular); }
    [[nodiscard]] bool isA(unsigned type) const { return (mode & mode::kType) == type; }
    // "a directory", "a FIFO", "a character device"...: what a file that is not regular is.
    [[nodiscard]] std::string kind() const;
    [[nodiscard]] bool sameFile(const FileStatus& other) const {
        return device == other.device && inode == other.inode;
    }
};

// The system calls that every file access of the program goes through. Each call returns a
// non-negative result or the negated platform error number, so a test double can fail any
// single call with any error.
class SysIo {
public:
    enum class Mode {
        ReadOnly,  // never waits: a FIFO without a writer opens at once
        ReadWrite, // never creates the file, never waits
        WriteOnly, // write-only, into what is there: never creates, never empties; a FIFO
                   // waits for its reader
        CreateNew, // write-only; fails with EEXIST when something is there already
    };

    virtual ~SysIo() = default;

    virtual int open(const std::string& path, Mode mode) = 0; // descriptor
    // Creates a new file whose name is `path` with its trailing "XXXXXX" made unique, that only
    // its owner may read or write until its mode is set; `path` receives the name. If the
    // process is stopped by SIGTERM, SIGINT, SIGHUP or SIGXFSZ before the file is renamed or
    // unlinked through this interface, it is removed first.
    virtual int createUnique(std::string& path) = 0;
    virtual std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                               std::int64_t offset) = 0;
    virtual std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                                std::int64_t offset) = 0;
    // Sequential transfers, for pipes and terminals, which have no positions.
    virtual std::int64_t read(int fd, std::uint8_t* buffer, std::size_t count) = 0;
    virtual std::int64_t write(int fd, const std::uint8_t* buffer, std::size_t count) = 0;
    virtual int status(int fd, FileStatus& status) = 0;
    // Follows symbolic links; -ENOENT when nothing is there.
    virtual int status(const std::string& path, FileStatus& status) = 0;
    // What stands at `path` itself: a symbolic link is not followed (lstat).
    virtual int linkStatus(const std::string& path, FileStatus& status) = 0;
    // The target of the symbolic link at `path`; -EINVAL when it is no link.
    virtual int readLink(const std::string& path, std::string& target) = 0;
    virtual int fsync(int fd) = 0;
    // Makes the open file `length` bytes long: cut, or made longer with zero bytes (ftruncate).
    virtual int setLength(int fd, std::int64_t length) = 0;
    virtual int syncFolder(const std::string& path) = 0;
    virtual int close(int fd) = 0;
    virtual int chmod(const std::string& path, unsigned mode) = 0;
    // Whether this process may write into the file at `path` (access with W_OK): 0, or why
    // not, such as -EROFS on read-only media or -EPERM for an immutable file.
    virtual int checkWritable(const std::string& path) = 0;
    virtual int setMode(int fd, unsigned mode) = 0;
    virtual int setOwner(int fd, unsigned owner, unsigned group) = 0;
    // The permission bits a new file gets: 0666 less the umask.
    virtual unsigned newFileMode() = 0;
    // The user id that file permissions are checked against (0 for root).
    virtual unsigned effectiveUser() = 0;
    // The login name of user `user`, or its number when it has none.
    virtual std::string userName(unsigned user) = 0;
    // An advisory lock on the whole open file (flock), given up when the file is closed or the
    // process ends. Never waits: -EWOULDBLOCK while another holds a lock that excludes it;
    // -ENOLCK where the file system has no locks.
    enum class Lock { Shared, Exclusive };
    virtual int lock(int fd, Lock kind) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
};

// The real POSIX implementation, shared by the whole process.
SysIo& systemIo();

inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;

} // namespace files
