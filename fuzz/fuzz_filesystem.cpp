// Arbitrary bytes as an image: reading its file system, looking files up, naming every file
// and finding each game's tables never crash, loop or allocate without bound, and a table that
// is found lies inside the image.
#include "MemoryIo.h"

#include "nds/GameEdition.h"
#include "nds/Narc.h"
#include "nds/NdsFileSystem.h"
#include "species/RecordKinds.h"
#include "species/TableLocation.h"

#include <cstdlib>

namespace {

// A table that is found lies inside the image: its entries' records (44 bytes back to back,
// or members of their own), or the one list the game scans.
void checkInside(const species::TablePlace& place, std::size_t size) {
    const auto image = static_cast<std::int64_t>(size);
    std::int64_t end = place.base + std::int64_t{species::kRecordSize} * place.entries;
    if (place.room > 0)
        end = place.base + place.room;
    for (const nds::FileSpan& record : place.records)
        if (record.start < 0 || record.end > image || record.end < record.start)
            std::abort();
    if (place.base < 0 || (place.records.empty() && end > image))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryIo io(data, size);
    base::Result<files::OpenFile> file =
        files::OpenFile::open(io, "image.nds", files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        std::abort();
    const auto system = nds::NdsFileSystem::read(file.value());
    if (system.ok() && system.value()) {
        for (const auto& [id, path] : system.value()->paths())
            if (path.empty() || path.front() != '/' || id < 0)
                std::abort();
        for (const nds::FileEntry& holder : system.value()->filesHolding(0x200))
            if (holder.span.start > 0x200 || holder.span.end <= 0x200)
                std::abort();
        for (const char* path : {"/poketool/personal/personal.narc", "/a", "/a/0/0/2", "/a/b/c"}) {
            const base::Result<nds::FileEntry> found = system.value()->find(path);
            if (!found.ok())
                continue;
            if (found.value().span.end > static_cast<std::int64_t>(size))
                std::abort();
            const auto members = nds::readNarcMembers(file.value(), found.value());
            if (members.ok())
                for (const nds::FileSpan& member : members.value())
                    if (member.start < found.value().span.start ||
                        member.end > found.value().span.end || member.end < member.start)
                        std::abort();
        }
    }
    for (const char* code : {"ADAE", "APAE", "CPUJ", "CPUE", "IPKE"}) {
        const nds::GameEdition& edition = *nds::findEdition(code);
        // Every kind's table, found as a load finds them, lies inside the image and reads whole.
        const auto system = species::readFileSystem(file.value(), "read");
        if (!system.ok())
            continue;
        const nds::NdsFileSystem* files = system.value() ? &*system.value() : nullptr;
        std::optional<species::TablePlace> stats;
        for (const species::RecordKind* kind : species::recordKinds()) {
            const base::Result<species::TablePlace> place =
                kind->find(file.value(), edition, files, stats ? &*stats : nullptr);
            if (!place.ok()) {
                if (!stats)
                    break;
                continue;
            }
            checkInside(place.value(), size);
            const auto records = kind->read(file.value(), place.value());
            if (!records.ok() ||
                records.value().size() != static_cast<std::size_t>(place.value().entries))
                std::abort();
            if (!stats)
                stats = place.value();
        }
    }
    return 0;
}
