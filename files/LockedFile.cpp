#include "LockedFile.h"

namespace files {

namespace {

// A write through one name of a file with several would change it under every other name,
// and the journal, beside one of them, could not roll back an interrupted write for the others.
base::Status refuseSharedFile(const OpenFile& file) {
    const std::uint64_t links = file.status().links;
    if (links <= 1)
        return {};
    return base::Error::failed(
        base::Error::Kind::Refused, "write into", file.path(),
        "it has " + std::to_string(links) +
            " names (hard links): a save would change it under every one of "
            "them, and an interrupted save could not be rolled back from the "
            "others; nothing was written. Copy it to a file of its own and "
            "edit the copy");
}

// A leftover journal, as a dry run tells of it: what recovery would do, and nothing done.
base::Error pendingRecovery(const std::vector<Recovery>& pending) {
    std::string said;
    for (const Recovery& recovery : pending)
        said += (said.empty() ? "" : " ") + recovery.describePending();
    return base::Error::at(base::Error::Kind::BadContent, "", 0, "", said);
}

} // namespace

base::Result<LockedFile> openLocked(SysIo& io, const std::string& path, Access access,
                                    const JournalScope& scope) {
    OpenNotes notes;
    // A reader that finds a journal opens the image for writing once, to recover it, and then
    // read-only again. A third round means writers keep dying in between.
    bool recovering = access == Access::Write;
    for (int round = 0; round < 3; ++round) {
        base::Result<OpenFile> opened =
            OpenFile::open(io, path, recovering ? SysIo::Mode::ReadWrite : SysIo::Mode::ReadOnly);
        if (!opened.ok()) {
            if (recovering && access == Access::Read)
                opened.error().reason += "; the journal of an interrupted write beside it needs "
                                         "the image opened for writing, to put its old bytes back";
            return opened.error();
        }
        OpenFile& file = opened.value();
        notes.links = file.status().links;
        if (access == Access::Write)
            if (base::Status single = refuseSharedFile(file); !single.ok())
                return single.error();
        const base::Result<bool> locked =
            file.lock(recovering ? SysIo::Lock::Exclusive : SysIo::Lock::Shared);
        if (!locked.ok())
            return locked.error();
        notes.unlocked = notes.unlocked || !locked.value();
        if (recovering) {
            base::Result<std::vector<Recovery>> recovered = recoverJournals(file, scope);
            if (!recovered.ok())
                return recovered.error();
            notes.recoveries.insert(notes.recoveries.end(), recovered.value().begin(),
                                    recovered.value().end());
            if (access == Access::Write)
                return LockedFile{std::move(file), notes};
            recovering = false;
            if (base::Status closed = file.close(); !closed.ok())
                return closed.error();
            continue;
        }
        // While this shared lock is held, no writer is at work: a journal is a dead one's.
        const base::Result<bool> there = journalThere(io, path);
        if (!there.ok())
            return there.error();
        if (!there.value())
            return LockedFile{std::move(file), notes};
        if (access == Access::Inspect) {
            base::Result<std::vector<Recovery>> pending = examineJournals(file, scope);
            if (!pending.ok())
                return pending.error();
            if (pending.value().empty()) // gone meanwhile
                return LockedFile{std::move(file), notes};
            return pendingRecovery(pending.value());
        }
        recovering = true;
        if (base::Status closed = file.close(); !closed.ok())
            return closed.error();
    }
    return base::Error::failed(base::Error::Kind::System, "read", path,
                               "it is being written by another program");
}

} // namespace files
