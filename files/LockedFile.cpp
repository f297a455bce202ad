#include "LockedFile.h"

#include <optional>

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

// The recoveries that acted on the image, without the journals of other images; the first of
// those in `other`.
std::vector<Recovery> ownRecoveries(const std::vector<Recovery>& found,
                                    std::optional<Recovery>& other) {
    std::vector<Recovery> own;
    for (const Recovery& recovery : found)
        if (recovery.found != Recovery::Found::OtherImage)
            own.push_back(recovery);
        else if (!other)
            other = recovery;
    return own;
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
            std::optional<Recovery> other;
            const std::vector<Recovery> own = ownRecoveries(recovered.value(), other);
            notes.recoveries.insert(notes.recoveries.end(), own.begin(), own.end());
            if (access == Access::Write && other)
                return otherImagesJournal(path, *other);
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
        base::Result<std::vector<Recovery>> pending = examineJournals(file, scope);
        if (!pending.ok())
            return pending.error();
        std::optional<Recovery> other;
        const std::vector<Recovery> own = ownRecoveries(pending.value(), other);
        // Gone meanwhile, or another image's, which this one is read without.
        if (own.empty())
            return LockedFile{std::move(file), notes};
        if (access == Access::Inspect)
            return pendingRecovery(own);
        recovering = true;
        if (base::Status closed = file.close(); !closed.ok())
            return closed.error();
    }
    return base::Error::failed(base::Error::Kind::System, "read", path,
                               "it is being written by another program");
}

} // namespace files
