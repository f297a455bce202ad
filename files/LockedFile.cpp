#include "LockedFile.h"

#include <cerrno>

namespace files {

namespace {

bool journalThere(SysIo& io, const std::string& image) {
    FileStatus status;
    return io.status(journalPath(image), status) != -ENOENT;
}

} // namespace

Result<LockedFile> openLocked(SysIo& io, const std::string& path, Access access) {
    OpenNotes notes;
    // A reader that finds a journal opens the image for writing once, to recover it, and then
    // read-only again. A third round means writers keep dying in between.
    bool recovering = access == Access::Write;
    for (int round = 0; round < 3; ++round) {
        Result<OpenFile> opened =
            OpenFile::open(io, path, recovering ? SysIo::Mode::ReadWrite : SysIo::Mode::ReadOnly);
        if (!opened.ok()) {
            if (recovering && access == Access::Read)
                opened.error().reason += "; the journal of an interrupted write beside it needs "
                                         "the image opened for writing, to put its old bytes back";
            return opened.error();
        }
        OpenFile& file = opened.value();
        const Result<bool> locked =
            file.lock(recovering ? SysIo::Lock::Exclusive : SysIo::Lock::Shared);
        if (!locked.ok())
            return locked.error();
        notes.unlocked = notes.unlocked || !locked.value();
        if (recovering) {
            Result<std::optional<Recovery>> recovered = recoverJournal(file);
            if (!recovered.ok())
                return recovered.error();
            if (recovered.value())
                notes.recovery = recovered.value();
            if (access == Access::Write)
                return LockedFile{std::move(file), notes};
            recovering = false;
            if (Status closed = file.close(); !closed.ok())
                return closed.error();
            continue;
        }
        // While this shared lock is held, no writer is at work: a journal is a dead one's.
        if (!journalThere(io, path))
            return LockedFile{std::move(file), notes};
        recovering = true;
        if (Status closed = file.close(); !closed.ok())
            return closed.error();
    }
    return Error::failed(Error::Kind::System, "read", path,
                         "it is being written by another program");
}

} // namespace files
