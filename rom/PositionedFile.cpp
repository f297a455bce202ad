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

Result<Bytes> readStream(SysIo& io, int fd, const std::string& name, std::int64_t maxBytes) {
    Bytes bytes;
    std::uint8_t buffer[1 << 16];
    while (true) {
        const std::int64_t n = io.read(fd, buffer, sizeof buffer);
        if (n < 0)
            return IoError::fromErrno(static_cast<int>(-n), "read", name);
        if (n == 0)
            return bytes;
        if (static_cast<std::int64_t>(bytes.size()) + n > maxBytes) {
            IoError error = IoError::fromErrno(EFBIG, "read", name);
            error.kind = IoError::Kind::InvalidInput;
            error.reason = "it holds more than " + std::to_string(maxBytes) + " bytes";
            return error;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

Result<Bytes> readWholeFile(SysIo& io, const std::string& path, std::int64_t maxBytes) {
    Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    const std::int64_t size = file.value().size();
    if (size > maxBytes) {
        IoError error = IoError::fromErrno(EFBIG, "read", path);
        error.kind = IoError::Kind::InvalidInput;
        error.reason = "it is larger than " + std::to_string(maxBytes) + " bytes";
        return error;
    }
    Result<Bytes> bytes = size > 0 ? file.value().read(0, size) : Result<Bytes>(Bytes{});
    if (!bytes.ok())
        return bytes.error();
    if (Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return bytes;
}

namespace {

// The folder part of `path`: "." for a bare name, "/" for a name in the root.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that `path` finally names, its symbolic links followed.
Result<std::string> followLinks(SysIo& io, const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::string target;
        const int result = io.readLink(current, target);
        if (result == -EINVAL || result == -ENOENT)
            return current;
        if (result < 0)
            return IoError::fromErrno(-result, "follow the link", current);
        current = target.starts_with('/') || current.find('/') == std::string::npos
                      ? target
                      : folderOf(current) + "/" + target;
    }
    return IoError::fromErrno(ELOOP, "follow the link", path);
}

// Writes all of `bytes` from the start of the open file `fd`; 0 or the error number.
int writeAll(SysIo& io, int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t n = io.pwrite(fd, bytes.data() + done, bytes.size() - done,
                                         static_cast<std::int64_t>(done));
        if (n <= 0)
            return n == 0 ? EIO : static_cast<int>(-n);
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Writes `bytes` into the new file `fd`, gives it the permission bits of `replaced` (when it
// replaces a file), flushes and closes it; on failure says which step failed in `action` and
// gives the error number.
int fill(SysIo& io, int fd, const Bytes& bytes, const FileStatus* replaced, const char*& action) {
    int error = writeAll(io, fd, bytes);
    action = "write";
    if (error == 0 && replaced) {
        action = "give the permissions of the file it replaces to";
        error = -io.setMode(fd, replaced->mode & 07777u);
    }
    if (error == 0) {
        action = "flush to disk";
        error = -io.fsync(fd);
    }
    if (const int closed = io.close(fd); error == 0 && closed < 0) {
        action = "close";
        error = -closed;
    }
    return error;
}

Status syncFolderOf(SysIo& io, const std::string& path) {
    const std::string folder = folderOf(path);
    if (const int synced = io.syncFolder(folder); synced < 0)
        return IoError::fromErrno(-synced, "flush to disk the folder", folder);
    return {};
}

} // namespace

Status writeNewFile(SysIo& io, const std::string& path, const Bytes& bytes) {
    const int fd = io.open(path, SysIo::Mode::CreateNew);
    if (fd < 0)
        return IoError::fromErrno(-fd, "create", path);
    const char* action = nullptr;
    if (const int error = fill(io, fd, bytes, nullptr, action); error != 0) {
        (void)io.unlink(path);
        return IoError::fromErrno(error, action, path);
    }
    return syncFolderOf(io, path);
}

// Writes `bytes` straight into what `path` names, from where it stands: a FIFO, a terminal.
Status writeInto(SysIo& io, const std::string& path, const Bytes& bytes) {
    const int fd = io.open(path, SysIo::Mode::WriteOnly);
    if (fd < 0)
        return IoError::fromErrno(-fd, "open for writing", path);
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const std::int64_t n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            error = n == 0 ? EIO : static_cast<int>(-n);
        else
            done += static_cast<std::size_t>(n);
    }
    if (const int closed = io.close(fd); error == 0 && closed < 0)
        return IoError::fromErrno(-closed, "close", path);
    if (error != 0)
        return IoError::fromErrno(error, "write", path);
    return {};
}

Status replaceFile(SysIo& io, const std::string& path, const Bytes& bytes) {
    // What is not a regular file is written into, never replaced or created next to.
    FileStatus named;
    if (io.status(path, named) == 0 && !named.isRegular())
        return writeInto(io, path, bytes);
    Result<std::string> resolved = followLinks(io, path);
    if (!resolved.ok())
        return resolved.error();
    const std::string& target = resolved.value();
    FileStatus existing;
    const int found = io.status(target, existing);
    if (found < 0 && found != -ENOENT)
        return IoError::fromErrno(-found, "examine", target);

    std::string partial =
        folderOf(target) + "/." + target.substr(target.rfind('/') + 1) + ".XXXXXX";
    const int fd = io.createUnique(partial);
    if (fd < 0)
        return IoError::fromErrno(-fd, "create a file in", folderOf(target));
    const char* action = nullptr;
    int error = fill(io, fd, bytes, found == 0 ? &existing : nullptr, action);
    if (error == 0) {
        action = "rename into place";
        error = -io.rename(partial, target);
    }
    if (error != 0) {
        (void)io.unlink(partial);
        return IoError::fromErrno(error, action, partial);
    }
    // The new name reaches the disk with the folder.
    return syncFolderOf(io, target);
}

} // namespace rom
