#pragma once

#include "files/SysIo.h"

#include <map>
#include <string>
#include <vector>

// The real system calls, counted, with failures on demand: the Nth call of one kind fails
// with a chosen error, or writes stop after a number of bytes. It records every write.
class FaultInjectingIo final : public files::SysIo {
public:
    enum class Call {
        Open,
        OpenForWriting,
        CreateUnique,
        Pread,
        Pwrite,
        Read,
        Write,
        Status, // of an open file
        PathStatus,
        LinkStatus,
        ReadLink,
        Fsync,
        SyncFolder,
        Close,
        Chmod,
        CheckWritable,
        SetMode,
        SetOwner,
        Lock,
        Rename,
        Unlink,
        SetLength,
    };

    // The `nth` call (1-based, counted from now) of `call` fails with `error`; 0 means every one.
    void failCall(Call call, int error, int nth = 0);
    // Writes (into the file opened by the name `into`, if given) succeed for `bytes` more bytes
    // in total, then one write fails with `error`; a write that crosses the limit is cut short
    // there. Later writes succeed again.
    void failWritesAfter(long long bytes, int error, const std::string& into = {});
    // Plays the process dying after `calls` more system calls: every call after them fails with
    // EIO and does nothing, except that a positioned write gets half its bytes through (a torn
    // write) and a close still gives up the descriptor, and its locks, as the kernel does.
    void crashAfter(int calls) {
        m_callsLeft = calls;
        m_dead = false;
    }
    // Whether a call came after the crash: the operation did not end before it.
    [[nodiscard]] bool crashed() const { return m_dead; }
    void reset();

    [[nodiscard]] int count(Call call) const;
    [[nodiscard]] long long bytesWritten() const { return m_written; }
    // Every write that reached a file, in order: where it began and how many bytes it wrote.
    struct Span {
        std::int64_t offset;
        std::int64_t count;
        bool operator==(const Span&) const = default;
    };
    [[nodiscard]] const std::vector<Span>& writes() const { return m_writes; }
    // The writes into the file opened by the name `path`, and how many times it was opened.
    [[nodiscard]] std::vector<Span> writesInto(const std::string& path) const;
    [[nodiscard]] int opensOf(const std::string& path) const;
    // Every flush to disk: of files and of folders.
    [[nodiscard]] int flushes() const { return count(Call::Fsync) + count(Call::SyncFolder); }

    int open(const std::string& path, Mode mode) override;
    int createUnique(std::string& path) override;
    std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                       std::int64_t offset) override;
    std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override;
    std::int64_t read(int fd, std::uint8_t* buffer, std::size_t count) override;
    std::int64_t write(int fd, const std::uint8_t* buffer, std::size_t count) override;
    int status(int fd, files::FileStatus& status) override;
    int status(const std::string& path, files::FileStatus& status) override;
    int linkStatus(const std::string& path, files::FileStatus& status) override;
    int readLink(const std::string& path, std::string& target) override;
    int fsync(int fd) override;
    int setLength(int fd, std::int64_t length) override;
    int syncFolder(const std::string& path) override;
    int close(int fd) override;
    int chmod(const std::string& path, unsigned mode) override;
    int checkWritable(const std::string& path) override;
    int setMode(int fd, unsigned mode) override;
    int setOwner(int fd, unsigned owner, unsigned group) override;
    unsigned newFileMode() override;
    // The real one, or the one set here.
    unsigned effectiveUser() override;
    void pretendUser(unsigned user) { m_user = user; }
    // Files as a volume without owners (FAT32, exFAT) shows them: whose they are is unknown.
    void pretendNoOwners() { m_noOwners = true; }
    std::string userName(unsigned user) override;
    int lock(int fd, Lock kind) override;
    int rename(const std::string& from, const std::string& to) override;
    int unlink(const std::string& path) override;

private:
    struct Fault {
        int error = 0;
        int nth = 0; // 0: always
    };
    // The error to fail this call with, or 0; counts the call.
    int enter(Call call);

    std::map<Call, int> m_counts;
    std::map<Call, Fault> m_faults;
    long long m_writeBudget = -1; // -1: unlimited
    int m_writeError = 0;
    std::string m_budgetFile; // empty: every file
    long long m_written = 0;
    std::vector<Span> m_writes;
    std::vector<std::string> m_writtenPaths; // of each of m_writes
    std::map<int, std::string> m_openPaths;  // by descriptor
    std::vector<std::string> m_opened;
    int m_user = -1;
    bool m_noOwners = false;
    int m_callsLeft = -1; // -1: no crash to come
    bool m_dead = false;  // a call was made after the crash
};
