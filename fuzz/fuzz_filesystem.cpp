// Arbitrary bytes as an image: reading its file system, looking files up, naming every file
// and finding each game's tables never crash, loop or allocate without bound, and a table that
// is found lies inside the image as 44-byte records back to back.
#include "MemoryIo.h"

#include "GameEdition.h"
#include "Narc.h"
#include "NdsFileSystem.h"
#include "RecordStore.h"
#include "TableLocation.h"

#include <cstdlib>

namespace {

// A table that is found holds its entries as 44-byte records inside the image.
void checkInside(const species::TablePlace& place, std::size_t size) {
    if (place.base < 0 || place.base + std::int64_t{species::kRecordSize} * place.entries >
                              static_cast<std::int64_t>(size))
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
        const base::Result<species::TablePlace> stats = species::findTable(file.value(), edition);
        if (!stats.ok())
            continue;
        checkInside(stats.value(), size);
        const auto records = species::readEntries(file.value(), stats.value());
        if (!records.ok() ||
            records.value().size() != static_cast<std::size_t>(stats.value().entries))
            std::abort();
        const base::Result<species::TablePlace> evolutions =
            species::findEvolutions(file.value(), edition, stats.value().entries);
        if (evolutions.ok())
            checkInside(evolutions.value(), size);
    }
    return 0;
}
