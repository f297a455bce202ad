#include "PositionedFile.h"

#include <cerrno>

namespace rom {

Result<Bytes> readAt(SysIo& io, const std::string& path, std::int64_t offset, std::int64_t count) {
    Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    Result<Bytes> bytes = count > 0 ? file.value().read(offset, count) : Result<Bytes>(Bytes{});
    if (!bytes.ok())
        return bytes.error();
    if (Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return bytes;
}

Status writeAt(SysIo& io, const std::string& path, std::int64_t offset, const Bytes& bytes) {
    Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadWrite);
    if (!file.ok())
        return file.error();
    if (!bytes.empty()) {
        std::size_t written = 0;
        if (Status status = file.value().write(offset, bytes, &written); !status.ok())
            return status;
        if (Status status = file.value().sync(); !status.ok())
            return status;
    }
    return file.value().close();
}

namespace {

// Puts the first `count` bytes of `before` back after a failed update; says so in `error`
// when that fails too.
IoError undone(OpenFile& file, std::int64_t offset, const Bytes& before, std::size_t count,
               IoError error) {
    if (count == 0)
        return error;
    const Bytes undo(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(count));
    std::size_t restored = 0;
    if (!file.write(offset, undo, &restored).ok() || !file.sync().ok())
        error.reason += "; the bytes already written could not be put back";
    return error;
}

} // namespace

Status update(OpenFile& file, std::int64_t offset, std::int64_t count,
              const std::function<void(Bytes&)>& edit) {
    Result<Bytes> before = file.read(offset, count);
    if (!before.ok())
        return before.error();
    Bytes after = before.value();
    edit(after);
    std::size_t written = 0;
    if (Status status = file.write(offset, after, &written); !status.ok())
        return undone(file, offset, before.value(), written, status.error());
    // Unflushed bytes may or may not reach the disk: put the old ones back, so that a save
    // reported as failed has not changed the file either.
    if (Status status = file.sync(); !status.ok())
        return undone(file, offset, before.value(), after.size(), status.error());
    return {};
}

Status updateAt(SysIo& io, const std::string& path, std::int64_t offset, std::int64_t count,
                const std::function<void(Bytes&)>& edit) {
    Result<OpenFile> opened = OpenFile::open(io, path, SysIo::Mode::ReadWrite);
    if (!opened.ok())
        return opened.error();
    if (Status updated = update(opened.value(), offset, count, edit); !updated.ok())
        return updated;
    return opened.value().close();
}

Result<Bytes> readWholeFile(SysIo& io, const std::string& path, std::int64_t maxBytes) {
    Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    Result<std::int64_t> size = file.value().size();
    if (!size.ok())
        return size.error();
    if (size.value() > maxBytes) {
        IoError error = IoError::fromErrno(EFBIG, "read", path);
        error.kind = IoError::Kind::InvalidInput;
        error.reason = "it is larger than " + std::to_string(maxBytes) + " bytes";
        return error;
    }
    Result<Bytes> bytes =
        size.value() > 0 ? file.value().read(0, size.value()) : Result<Bytes>(Bytes{});
    if (!bytes.ok())
        return bytes.error();
    if (Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return bytes;
}

Status replaceFile(SysIo& io, const std::string& path, const Bytes& bytes) {
    const std::string partial = path + ".partial";
    const int fd = io.open(partial, SysIo::Mode::Create);
    if (fd < 0)
        return IoError::fromErrno(-fd, "create", partial);
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const std::int64_t n = io.pwrite(fd, bytes.data() + done, bytes.size() - done,
                                         static_cast<std::int64_t>(done));
        if (n <= 0)
            error = n == 0 ? EIO : static_cast<int>(-n);
        else
            done += static_cast<std::size_t>(n);
    }
    const char* action = error ? "write" : "flush to disk";
    if (error == 0)
        error = -io.fsync(fd);
    const int closed = io.close(fd);
    if (error == 0 && closed < 0) {
        error = -closed;
        action = "close";
    }
    if (error == 0) {
        action = "rename into place";
        error = -io.rename(partial, path);
    }
    if (error != 0) {
        (void)io.unlink(partial);
        return IoError::fromErrno(error, action, partial);
    }
    return {};
}

} // namespace rom
