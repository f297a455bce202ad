#include "OpenFile.h"

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <limits>
#include <thread>

namespace files {
namespace {

std::string bytesPhrase(const char* verb, std::int64_t count) {
    return std::string(verb) + " " + std::to_string(count) +
           (count == 1 ? " byte of" : " bytes of");
}

base::Error pastEnd(const char* verb, std::int64_t count, const std::string& path,
                    std::int64_t offset, std::string reason) {
    return base::Error::failed(base::Error::Kind::PastEnd, bytesPhrase(verb, count), path,
                               std::move(reason), offset);
}

} // namespace

base::Result<OpenFile> OpenFile::open(SysIo& io, const std::string& path, SysIo::Mode mode) {
    FileStatus status;
    // What is no regular file is never opened, not even to find out what it is: a FIFO would
    // wait for its writer, a device answer with bytes of its own.
    if (mode != SysIo::Mode::CreateNew && io.status(path, status) == 0 && !status.isRegular())
        return base::Error::notRegular(path, status.kind());
    const int fd = io.open(path, mode);
    if (fd < 0) {
        // A socket cannot be opened at all, a directory not for writing: say what they are.
        if (io.status(path, status) == 0 && !status.isRegular())
            return base::Error::notRegular(path, status.kind());
        return base::Error::system(-fd,
                                   mode == SysIo::Mode::ReadOnly    ? "open"
                                   : mode == SysIo::Mode::CreateNew ? "create"
                                                                    : "open for writing",
                                   path);
    }
    OpenFile file(io, path, fd);
    if (const int result = io.status(fd, status); result < 0)
        return base::Error::system(-result, "examine", path);
    // Only a regular file has bytes at positions: a FIFO or a device would hang a read or
    // answer it with bytes of its own, and a write into one goes nowhere it can be found.
    if (!status.isRegular())
        return base::Error::notRegular(path, status.kind());
    file.m_size = status.size;
    file.m_status = status;
    return file;
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : m_io(other.m_io), m_path(std::move(other.m_path)), m_fd(other.m_fd), m_size(other.m_size),
      m_status(other.m_status) {
    other.m_fd = -1;
}

OpenFile::~OpenFile() {
    if (m_fd >= 0)
        (void)m_io.close(m_fd);
}

base::Status OpenFile::checkSpan(std::int64_t offset, std::int64_t count, const char* verb) {
    if (offset < 0 || count < 0 || count > std::numeric_limits<std::int64_t>::max() - offset) {
        return base::Error::failed(base::Error::Kind::OutsideFile, bytesPhrase(verb, count), m_path,
                                   "the position lies outside any file", offset);
    }
    if (offset + count > m_size)
        return pastEnd(verb, count, m_path, offset,
                       "the file ends at byte " + std::to_string(m_size));
    return {};
}

base::Result<Bytes> OpenFile::read(std::int64_t offset, std::int64_t count) {
    if (base::Status span = checkSpan(offset, count, "read"); !span.ok())
        return span.error();
    Bytes bytes(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t n = m_io.pread(m_fd, bytes.data() + done, bytes.size() - done,
                                          offset + static_cast<std::int64_t>(done));
        if (n < 0)
            return base::Error::system(static_cast<int>(-n), bytesPhrase("read", count), m_path,
                                       offset);
        if (n == 0) // the file shrank since its length was checked
            return pastEnd("read", count, m_path, offset,
                           "the file ended after " + std::to_string(done) + " of them");
        done += static_cast<std::size_t>(n);
    }
    for (const Overlay& overlay : m_overlays) {
        const std::int64_t from = std::max(offset, overlay.offset);
        const std::int64_t to = std::min(
            offset + count, overlay.offset + static_cast<std::int64_t>(overlay.bytes.size()));
        for (std::int64_t at = from; at < to; ++at)
            bytes[static_cast<std::size_t>(at - offset)] =
                overlay.bytes[static_cast<std::size_t>(at - overlay.offset)];
    }
    return bytes;
}

void OpenFile::showAsBefore(std::vector<Overlay> overlays, std::int64_t length) {
    showAsIs();
    m_overlays = std::move(overlays);
    m_ownSize = m_size;
    m_size = std::min(length, m_size);
}

void OpenFile::showAsIs() {
    m_overlays.clear();
    if (m_ownSize >= 0)
        m_size = m_ownSize;
    m_ownSize = -1;
}

base::Status OpenFile::write(std::int64_t offset, const Bytes& bytes, std::size_t* written) {
    *written = 0;
    const auto count = static_cast<std::int64_t>(bytes.size());
    if (base::Status span = checkSpan(offset, count, "write"); !span.ok())
        return span;
    while (*written < bytes.size()) {
        const std::int64_t n = m_io.pwrite(m_fd, bytes.data() + *written, bytes.size() - *written,
                                           offset + static_cast<std::int64_t>(*written));
        if (n <= 0)
            return base::Error::system(n == 0 ? EIO : static_cast<int>(-n),
                                       bytesPhrase("write", count), m_path, offset);
        *written += static_cast<std::size_t>(n);
    }
    return {};
}

base::Status OpenFile::setLength(std::int64_t length) {
    if (const int result = m_io.setLength(m_fd, length); result < 0)
        return base::Error::system(-result, "set the length of", m_path, length);
    m_size = length;
    return {};
}

base::Status OpenFile::sync() {
    if (const int result = m_io.fsync(m_fd); result < 0)
        return base::Error::system(-result, "flush to disk", m_path);
    return {};
}

base::Result<bool> OpenFile::lock(SysIo::Lock kind) {
    constexpr auto kPatience = std::chrono::seconds(5);
    constexpr auto kPause = std::chrono::milliseconds(50);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (true) {
        const int result = m_io.lock(m_fd, kind);
        if (result == 0)
            return true;
        // Some network and FUSE file systems have no locks, and say so in one of these ways.
        if (result == -ENOLCK || result == -EOPNOTSUPP || result == -ENOSYS)
            return false;
        if (result != -EWOULDBLOCK && result != -EAGAIN)
            return base::Error::system(-result, "lock", m_path);
        if (std::chrono::steady_clock::now() >= deadline) {
            if (kind == SysIo::Lock::Shared)
                return base::Error::failed(base::Error::Kind::System, "read", m_path,
                                           "it is being written by another program");
            return base::Error::failed(
                base::Error::Kind::System, "write into", m_path,
                "it is being written by another program; nothing was written");
        }
        std::this_thread::sleep_for(kPause);
    }
}

base::Status OpenFile::close() {
    const int result = m_io.close(m_fd);
    m_fd = -1;
    if (result < 0)
        return base::Error::system(-result, "close", m_path);
    return {};
}

} // namespace files
