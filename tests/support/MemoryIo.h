#pragma once

#include "files/SysIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// Files held in memory behind the same system calls as the real file system, so a fuzz input
// can be an image without touching the disk. Header-only and free of Qt, for the fuzz targets.
class MemoryIo final : public files::SysIo {
public:
    MemoryIo() = default;
    // One file, "image.nds", holding `size` bytes from `data`.
    MemoryIo(const std::uint8_t* data, std::size_t size) {
        m_files["image.nds"].bytes.assign(data, data + size);
    }

    [[nodiscard]] const std::vector<std::uint8_t>& bytes(const std::string& path = "image.nds") {
        return m_files[path].bytes;
    }
    [[nodiscard]] bool exists(const std::string& path) const { return m_files.count(path) > 0; }

    int open(const std::string& path, Mode mode) override {
        const auto found = m_files.find(path);
        if (found != m_files.end() && mode == Mode::CreateNew)
            return -EEXIST;
        if (found == m_files.end() && mode != Mode::CreateNew)
            return -ENOENT;
        if (mode == Mode::CreateNew)
            m_files[path] = File{};
        return descriptor(path, mode != Mode::ReadOnly);
    }
    int createUnique(std::string& path) override {
        if (path.size() < 6 || path.compare(path.size() - 6, 6, "XXXXXX") != 0)
            return -EINVAL;
        const std::string stem = path.substr(0, path.size() - 6);
        for (int n = 0;; ++n) {
            std::string name = std::to_string(n);
            name = stem + std::string(6 - std::min<std::size_t>(6, name.size()), '0') + name;
            if (!m_files.count(name)) {
                path = name;
                m_files[name].mode = 0100600;
                return descriptor(name, true);
            }
        }
    }
    std::int64_t pread(int fd, std::uint8_t* buffer, std::size_t count,
                       std::int64_t offset) override {
        File* file = fileOf(fd);
        if (!file)
            return -EBADF;
        if (offset < 0)
            return -EINVAL;
        if (static_cast<std::uint64_t>(offset) >= file->bytes.size())
            return 0;
        const auto at = static_cast<std::size_t>(offset);
        const std::size_t n = std::min(count, file->bytes.size() - at);
        std::memcpy(buffer, file->bytes.data() + at, n);
        return static_cast<std::int64_t>(n);
    }
    // Like pwrite(2), a write past the end makes the file longer (up to 64 MiB).
    std::int64_t pwrite(int fd, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override {
        File* file = fileOf(fd);
        if (!file || !m_descriptors[fd].writable)
            return -EBADF;
        if (offset < 0 || static_cast<std::uint64_t>(offset) + count > (64u << 20))
            return -EFBIG;
        const auto at = static_cast<std::size_t>(offset);
        if (file->bytes.size() < at + count)
            file->bytes.resize(at + count);
        std::memcpy(file->bytes.data() + at, buffer, count);
        return static_cast<std::int64_t>(count);
    }
    // Its files have no sequential position: they read nothing and take nothing.
    std::int64_t read(int fd, std::uint8_t*, std::size_t) override {
        return fileOf(fd) ? 0 : -EBADF;
    }
    std::int64_t write(int fd, const std::uint8_t*, std::size_t) override {
        return fileOf(fd) ? -ESPIPE : -EBADF;
    }
    int status(int fd, files::FileStatus& status) override {
        File* file = fileOf(fd);
        if (!file)
            return -EBADF;
        return statusOf(m_descriptors[fd].path, status);
    }
    int status(const std::string& path, files::FileStatus& status) override {
        return m_files.count(path) ? statusOf(path, status) : -ENOENT;
    }
    // No file here is a link.
    int linkStatus(const std::string& path, files::FileStatus& status) override {
        return this->status(path, status);
    }
    int readLink(const std::string& path, std::string&) override {
        return m_files.count(path) ? -EINVAL : -ENOENT;
    }
    int fsync(int fd) override { return fileOf(fd) ? 0 : -EBADF; }
    int setLength(int fd, std::int64_t length) override {
        File* file = fileOf(fd);
        if (!file || !m_descriptors[fd].writable)
            return -EBADF;
        if (length < 0 || length > (64 << 20))
            return -EFBIG;
        file->bytes.resize(static_cast<std::size_t>(length));
        return 0;
    }
    int syncFolder(const std::string&) override { return 0; }
    int close(int fd) override { return m_descriptors.erase(fd) ? 0 : -EBADF; }
    int chmod(const std::string& path, unsigned mode) override {
        const auto found = m_files.find(path);
        if (found == m_files.end())
            return -ENOENT;
        found->second.mode = (found->second.mode & ~07777u) | (mode & 07777u);
        return 0;
    }
    int checkWritable(const std::string& path) override {
        const auto found = m_files.find(path);
        if (found == m_files.end())
            return -ENOENT;
        return found->second.mode & 0200u ? 0 : -EACCES;
    }
    int setMode(int fd, unsigned mode) override {
        return fileOf(fd) ? chmod(m_descriptors[fd].path, mode) : -EBADF;
    }
    // One user, who owns every file.
    int setOwner(int fd, unsigned owner, unsigned group) override {
        if (!fileOf(fd))
            return -EBADF;
        return owner == 0 && group == 0 ? 0 : -EPERM;
    }
    unsigned newFileMode() override { return 0644; }
    unsigned effectiveUser() override { return 0; }
    std::string userName(unsigned user) override { return std::to_string(user); }
    // One process: every lock is granted.
    int lock(int fd, Lock) override { return fileOf(fd) ? 0 : -EBADF; }
    int rename(const std::string& from, const std::string& to) override {
        const auto found = m_files.find(from);
        if (found == m_files.end())
            return -ENOENT;
        File moved = std::move(found->second);
        m_files.erase(found);
        m_files[to] = std::move(moved);
        for (auto& [fd, open] : m_descriptors)
            if (open.path == from)
                open.path = to;
        return 0;
    }
    int unlink(const std::string& path) override { return m_files.erase(path) ? 0 : -ENOENT; }

private:
    struct File {
        std::vector<std::uint8_t> bytes;
        unsigned mode = 0100644;
    };
    struct Descriptor {
        std::string path;
        bool writable = false;
    };

    int descriptor(const std::string& path, bool writable) {
        const int fd = m_next++;
        m_descriptors[fd] = {path, writable};
        return fd;
    }
    // An open file whose name was unlinked is gone here, unlike on a real file system.
    File* fileOf(int fd) {
        const auto open = m_descriptors.find(fd);
        if (open == m_descriptors.end())
            return nullptr;
        const auto found = m_files.find(open->second.path);
        return found == m_files.end() ? nullptr : &found->second;
    }
    int statusOf(const std::string& path, files::FileStatus& status) {
        const File& file = m_files[path];
        status = {};
        status.mode = file.mode;
        status.size = static_cast<std::int64_t>(file.bytes.size());
        status.inode = std::hash<std::string>()(path);
        return 0;
    }

    std::map<std::string, File> m_files;
    std::map<int, Descriptor> m_descriptors;
    int m_next = 3;
};
