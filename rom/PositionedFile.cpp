#include "PositionedFile.h"

namespace rom {

Result<Bytes> readAt(SysIo& io, const std::string& path, std::int64_t offset,
                     std::int64_t count) {
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

Status updateAt(SysIo& io, const std::string& path, std::int64_t offset, std::int64_t count,
                const std::function<void(Bytes&)>& edit) {
    Result<OpenFile> opened = OpenFile::open(io, path, SysIo::Mode::ReadWrite);
    if (!opened.ok())
        return opened.error();
    OpenFile& file = opened.value();
    Result<Bytes> before = file.read(offset, count);
    if (!before.ok())
        return before.error();
    Bytes after = before.value();
    edit(after);
    std::size_t written = 0;
    if (Status status = file.write(offset, after, &written); !status.ok()) {
        IoError error = status.error();
        if (written > 0) {
            const Bytes undo(before.value().begin(),
                             before.value().begin() + static_cast<std::ptrdiff_t>(written));
            std::size_t restored = 0;
            const bool undone = file.write(offset, undo, &restored).ok() && file.sync().ok();
            if (!undone)
                error.reason += "; the bytes already written could not be put back";
        }
        return error;
    }
    if (Status status = file.sync(); !status.ok())
        return status;
    return file.close();
}

} // namespace rom
