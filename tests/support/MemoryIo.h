#pragma once

#include "SysIo.h"

#include <cerrno>
#include <cstring>
#include <vector>

// One file held in memory, behind the same system calls as the real file system, so a fuzz
// input can be an image without touching the disk. Every path names the same file.
class MemoryIo final : public rom::SysIo {
public:
    explicit MemoryIo(const std::uint8_t* data, std::size_t size) : m_bytes(data, data + size) {}

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

    int open(const std::string&, Mode mode) override {
        if (mode == Mode::Create)
            m_bytes.clear();
        return 3;
    }
    std::int64_t pread(int, std::uint8_t* buffer, std::size_t count, std::int64_t offset) override {
        if (offset < 0)
            return -EINVAL;
        if (static_cast<std::uint64_t>(offset) >= m_bytes.size())
            return 0;
        const std::size_t n = std::min(count, m_bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, m_bytes.data() + offset, n);
        return static_cast<std::int64_t>(n);
    }
    std::int64_t pwrite(int, const std::uint8_t* buffer, std::size_t count,
                        std::int64_t offset) override {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + count > (64u << 20))
            return -EFBIG;
        if (m_bytes.size() < static_cast<std::size_t>(offset) + count)
            m_bytes.resize(static_cast<std::size_t>(offset) + count);
        std::memcpy(m_bytes.data() + offset, buffer, count);
        return static_cast<std::int64_t>(count);
    }
    std::int64_t fileSize(int) override { return static_cast<std::int64_t>(m_bytes.size()); }
    int fsync(int) override { return 0; }
    int close(int) override { return 0; }
    std::int64_t fileMode(const std::string&) override { return 0100444; }
    int chmod(const std::string&, unsigned) override { return 0; }
    int rename(const std::string&, const std::string&) override { return 0; }
    int unlink(const std::string&) override { return 0; }

private:
    std::vector<std::uint8_t> m_bytes;
};
