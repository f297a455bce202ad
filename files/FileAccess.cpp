#include "FileAccess.h"

#include <cerrno>

namespace files {

base::Status syncFolderOf(SysIo& io, const std::string& path) {
    const std::string folder = folderOf(path);
    if (const int synced = io.syncFolder(folder); synced < 0)
        return base::Error::system(-synced, "flush to disk the folder", folder);
    return {};
}

namespace {

// Puts back the old bytes of the spans written, `partial` bytes of the last one, after a
// failed rewrite, and says in `error` and `putBack` whether that worked.
base::Error undone(OpenFile& file, std::span<const Rewrite> written, std::size_t partial,
                   base::Error error, bool* putBack) {
    bool restored = true;
    bool any = false;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const Rewrite& span = written[i];
        const std::size_t count = i + 1 == written.size() ? partial : span.before.size();
        if (count == 0)
            continue;
        any = true;
        const Bytes old(span.before.begin(),
                        span.before.begin() + static_cast<std::ptrdiff_t>(count));
        std::size_t done = 0;
        restored = file.write(span.offset, old, &done).ok() && restored;
    }
    if (!any)
        return error;
    restored = restored && file.sync().ok();
    if (putBack)
        *putBack = restored;
    error.reason += restored ? "; the bytes written before it were put back"
                             : "; the bytes already written could not be put back";
    return error;
}

} // namespace

base::Status rewrite(OpenFile& file, std::span<const Rewrite> spans, bool* putBack) {
    if (putBack)
        *putBack = true;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        std::size_t written = 0;
        if (base::Status status = file.write(spans[i].offset, spans[i].after, &written);
            !status.ok())
            return undone(file, spans.first(i + 1), written, status.error(), putBack);
    }
    // Unflushed bytes may or may not reach the disk: put the old ones back, so that a rewrite
    // reported as failed has not changed the file either.
    if (base::Status status = file.sync(); !status.ok())
        return undone(file, spans, spans.empty() ? 0 : spans.back().after.size(), status.error(),
                      putBack);
    return {};
}

base::Result<Bytes> readStream(SysIo& io, int fd, const std::string& name, std::int64_t maxBytes) {
    Bytes bytes;
    std::uint8_t buffer[1 << 16];
    while (true) {
        const std::int64_t n = io.read(fd, buffer, sizeof buffer);
        if (n < 0)
            return base::Error::system(static_cast<int>(-n), "read", name);
        if (n == 0)
            return bytes;
        if (static_cast<std::int64_t>(bytes.size()) + n > maxBytes) {
            return base::Error::failed(base::Error::Kind::InvalidInput, "read", name,
                                       "it holds more than " + std::to_string(maxBytes) + " bytes");
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

base::Result<Bytes> readWholeFile(SysIo& io, const std::string& path, std::int64_t maxBytes) {
    base::Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    const std::int64_t size = file.value().size();
    if (size > maxBytes) {
        return base::Error::failed(base::Error::Kind::InvalidInput, "read", path,
                                   "it is larger than " + std::to_string(maxBytes) + " bytes");
    }
    base::Result<Bytes> bytes =
        size > 0 ? file.value().read(0, size) : base::Result<Bytes>(Bytes{});
    if (!bytes.ok())
        return bytes.error();
    if (base::Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return bytes;
}

base::Result<std::string> resolveLinks(SysIo& io, const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::string target;
        const int result = io.readLink(current, target);
        if (result == -EINVAL || result == -ENOENT)
            return current;
        if (result < 0)
            return base::Error::system(-result, "follow the link", current);
        // A relative target is read from the link's own folder.
        current = isAbsolute(target) ? target : besideName(current, target);
    }
    return base::Error::system(ELOOP, "follow the link", path);
}

namespace {

// The result of a system call as a Status: a negative result is the negated error number.
base::Status checked(std::int64_t result, const char* action, const std::string& path) {
    if (result < 0)
        return base::Error::system(static_cast<int>(-result), action, path);
    return {};
}

// Writes all of `bytes` from the start of the open file `fd`.
base::Status writeAll(SysIo& io, int fd, const Bytes& bytes, const std::string& path) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t n = io.pwrite(fd, bytes.data() + done, bytes.size() - done,
                                         static_cast<std::int64_t>(done));
        if (n <= 0)
            return checked(n == 0 ? -EIO : n, "write", path);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

// Gives the new file `fd` what the file it replaces had: its owner and group (what a root
// caller can give, and a group that the owner belongs to), then its permission bits. A new
// file in place of none gets the bits any new file gets. The file stays private (0600) until
// then, so it is never readable by more people than the one it replaces.
base::Status settle(SysIo& io, int fd, const std::string& path, const FileStatus* replaced) {
    if (!replaced)
        return checked(io.setMode(fd, io.newFileMode()), "set the permissions of", path);
    FileStatus made;
    if (base::Status status = checked(io.status(fd, made), "examine", path); !status.ok())
        return status;
    if (made.owner != replaced->owner || made.group != replaced->group)
        if (base::Status status =
                checked(io.setOwner(fd, replaced->owner, replaced->group),
                        "give the owner and group of the file it replaces to", path);
            !status.ok())
            return status;
    return checked(io.setMode(fd, replaced->mode & 07777u),
                   "give the permissions of the file it replaces to", path);
}

// Writes `bytes` into the new file `fd`, settles its owner and mode, flushes and closes it.
base::Status fill(SysIo& io, int fd, const std::string& path, const Bytes& bytes,
                  const FileStatus* replaced) {
    base::Status status = writeAll(io, fd, bytes, path);
    if (status.ok())
        status = settle(io, fd, path, replaced);
    if (status.ok())
        status = checked(io.fsync(fd), "flush to disk", path);
    if (base::Status closed = checked(io.close(fd), "close", path); status.ok())
        status = closed;
    return status;
}

// Whether the caller may put a new file in place of `target`, as a shell's redirection into
// it would be allowed: it may write into it, and owns it (or is root, who can give the new
// file the old one's owner).
base::Status mayReplace(SysIo& io, const std::string& target, const FileStatus& existing) {
    if (base::Status writable = checked(io.checkWritable(target), "replace", target);
        !writable.ok())
        return writable;
    const unsigned user = io.effectiveUser();
    if (user != 0 && existing.owner != user) {
        return base::Error::failed(
            base::Error::Kind::NotOwner, "replace", target,
            "it belongs to another user, and a file put in its place would be "
            "yours");
    }
    return {};
}

} // namespace

base::Status writeNewFile(SysIo& io, const std::string& path, const Bytes& bytes,
                          std::optional<unsigned> mode) {
    const int fd = io.open(path, SysIo::Mode::CreateNew);
    if (fd < 0)
        return base::Error::system(-fd, "create", path);
    // Created with the mode any new file gets, unless another was asked for.
    base::Status status =
        mode ? checked(io.setMode(fd, *mode), "set the permissions of", path) : base::Status();
    if (status.ok())
        status = writeAll(io, fd, bytes, path);
    if (status.ok())
        status = checked(io.fsync(fd), "flush to disk", path);
    if (base::Status closed = checked(io.close(fd), "close", path); status.ok())
        status = closed;
    if (status.ok())
        status = syncFolderOf(io, path);
    if (!status.ok())
        (void)io.unlink(path);
    return status;
}

namespace {

// Writes `bytes` straight into what `path` names, from where it stands: a FIFO, a terminal.
base::Status writeInto(SysIo& io, const std::string& path, const Bytes& bytes) {
    const int fd = io.open(path, SysIo::Mode::WriteOnly);
    if (fd < 0)
        return base::Error::system(-fd, "open for writing", path);
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
        return base::Error::system(-closed, "close", path);
    if (error != 0)
        return base::Error::system(error, "write", path);
    return {};
}

} // namespace

base::Status replaceFile(SysIo& io, const std::string& path, const Bytes& bytes) {
    // What is not a regular file is written into, never replaced or created next to.
    FileStatus named;
    if (io.status(path, named) == 0 && !named.isRegular())
        return writeInto(io, path, bytes);
    base::Result<std::string> resolved = resolveLinks(io, path);
    if (!resolved.ok())
        return resolved.error();
    const std::string& target = resolved.value();
    FileStatus existing;
    const int found = io.status(target, existing);
    if (found < 0 && found != -ENOENT)
        return base::Error::system(-found, "examine", target);

    if (found == 0)
        if (base::Status allowed = mayReplace(io, target, existing); !allowed.ok())
            return allowed;

    std::string partial = besideName(target, "." + lastName(target) + ".XXXXXX");
    const int fd = io.createUnique(partial);
    if (fd < 0)
        return base::Error::system(-fd, "create a file in", folderOf(target));
    base::Status status = fill(io, fd, partial, bytes, found == 0 ? &existing : nullptr);
    if (status.ok())
        status = checked(io.rename(partial, target), "rename into place", partial);
    if (!status.ok()) {
        (void)io.unlink(partial);
        return status;
    }
    // The new name reaches the disk with the folder.
    return syncFolderOf(io, target);
}

base::Status makeOwnerWritable(SysIo& io, const std::string& path) {
    FileStatus status;
    if (const int result = io.status(path, status); result < 0)
        return base::Error::system(-result, "examine", path);
    const unsigned bits = status.mode;
    if (!(bits & mode::kOwnerWrite))
        if (const int result = io.chmod(path, (bits & mode::kPermissions) | mode::kOwnerWrite);
            result < 0)
            return base::Error::system(-result, "make writable", path);
    // Permission bits are not all: read-only media and immutable files refuse writes too.
    if (const int result = io.checkWritable(path); result < 0)
        return base::Error::system(-result, "make writable", path);
    return {};
}

} // namespace files
