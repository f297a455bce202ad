#include "ImageCheck.h"

#include "ImageTable.h"

#include "OpenFile.h"

#include "EntryRules.h"
#include "FieldLayout.h"

#include <map>
#include <optional>
#include <vector>

namespace cli {
namespace {

constexpr std::int64_t kHeaderSize = 0x50;
constexpr std::int64_t kTableLimit = 16 << 20; // no real name or allocation table is larger

std::uint32_t u32(const rom::Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t u16(const rom::Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Span {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// File ids with their paths, from the name table. Malformed tables give what could be read.
std::map<int, std::string> filePaths(const rom::Bytes& fnt) {
    std::map<int, std::string> paths;
    if (fnt.size() < 8)
        return paths;
    const std::size_t directories = u16(fnt, 6);
    if (directories == 0 || directories * 8 > fnt.size())
        return paths;
    std::map<int, std::string> dirPath{{0xF000, ""}};
    // A directory is named by its parent's listing; usually parents come first, but a table
    // may list them in any order, so go round until no directory gains a name.
    for (std::size_t pass = 0; pass < directories; ++pass) {
        const std::size_t named = dirPath.size();
        for (std::size_t d = 0; d < directories; ++d) {
            const auto known = dirPath.find(static_cast<int>(0xF000 + d));
            if (known == dirPath.end())
                continue;
            std::size_t at = u32(fnt, d * 8);
            int fileId = u16(fnt, d * 8 + 4);
            while (at < fnt.size() && fnt[at] != 0) {
                const std::size_t length = fnt[at] & 0x7F;
                const bool isDirectory = fnt[at] & 0x80;
                if (length == 0 || at + 1 + length + (isDirectory ? 2 : 0) > fnt.size())
                    break;
                const std::string name(fnt.begin() + static_cast<std::ptrdiff_t>(at + 1),
                                       fnt.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
                if (isDirectory)
                    dirPath.emplace(u16(fnt, at + 1 + length), known->second + "/" + name);
                else
                    paths.emplace(fileId++, known->second + "/" + name);
                at += 1 + length + (isDirectory ? 2 : 0);
            }
        }
        if (dirPath.size() == named)
            break;
    }
    return paths;
}

struct Narc {
    std::vector<Span> entries; // absolute file offsets
    std::string problem;       // empty when the archive could be read
};

Narc readNarc(rom::OpenFile& file, Span span) {
    Narc narc;
    rom::Result<rom::Bytes> head = file.read(span.start, 16);
    if (!head.ok() || span.end - span.start < 16 || u32(head.value(), 0) != 0x4352414E) {
        narc.problem = "it is not a NARC archive";
        return narc;
    }
    const std::int64_t btaf = span.start + u16(head.value(), 12);
    rom::Result<rom::Bytes> fat = file.read(btaf, 12);
    if (!fat.ok() || u32(fat.value(), 0) != 0x46415442) { // "BTAF"
        narc.problem = "its allocation section is missing";
        return narc;
    }
    const std::int64_t count = u16(fat.value(), 8);
    const std::int64_t btnf = btaf + u32(fat.value(), 4);
    rom::Result<rom::Bytes> names = file.read(btnf, 8);
    if (!names.ok() || u32(names.value(), 0) != 0x464E5442) { // "BTNF"
        narc.problem = "its name section is missing";
        return narc;
    }
    const std::int64_t gmif = btnf + u32(names.value(), 4);
    rom::Result<rom::Bytes> data = file.read(gmif, 8);
    rom::Result<rom::Bytes> table = file.read(btaf + 12, count * 8);
    if (!data.ok() || u32(data.value(), 0) != 0x46494D47 || !table.ok()) { // "GMIF"
        narc.problem = "its data section is missing";
        return narc;
    }
    for (std::int64_t i = 0; i < count; ++i)
        narc.entries.push_back({gmif + 8 + u32(table.value(), std::size_t(i * 8)),
                                gmif + 8 + u32(table.value(), std::size_t(i * 8 + 4))});
    return narc;
}

// Which entry starts at the record base, and whether the 500 from there are records.
std::string judgeEntries(const Narc& narc, std::int64_t recordBase, bool& confirmed) {
    confirmed = false;
    std::size_t first = narc.entries.size();
    for (std::size_t i = 0; i < narc.entries.size(); ++i)
        if (narc.entries[i].start == recordBase)
            first = i;
    if (first == narc.entries.size())
        return "no entry of the archive starts at the record base";
    if (narc.entries.size() - first < std::size_t(species::kSpeciesCount))
        return "from entry " + std::to_string(first) + " on the archive holds only " +
               std::to_string(narc.entries.size() - first) + " entries, not 500";
    for (std::size_t i = first; i < first + species::kSpeciesCount; ++i) {
        const Span& entry = narc.entries[i];
        if (entry.end - entry.start != species::kRecordSize)
            return "entry " + std::to_string(i) + " is " + std::to_string(entry.end - entry.start) +
                   " bytes long, not 44";
        if (i > first && entry.start != narc.entries[i - 1].end)
            return "entry " + std::to_string(i) + " does not follow entry " +
                   std::to_string(i - 1) + " directly";
    }
    confirmed = true;
    return "entries " + std::to_string(first) + " to " +
           std::to_string(first + species::kSpeciesCount - 1) +
           " of the archive are 44-byte records back to back, from the record base on";
}

} // namespace

CheckReport checkImage(rom::SysIo& io, const std::string& path, std::int64_t recordBase) {
    CheckReport report;
    rom::Result<rom::OpenFile> opened = rom::OpenFile::open(io, path, rom::SysIo::Mode::ReadOnly);
    if (!opened.ok()) {
        report.text = opened.error().describe();
        return report;
    }
    rom::OpenFile& file = opened.value();
    rom::Result<rom::Bytes> header = file.read(0, kHeaderSize);
    const auto unverifiable = [&report](const std::string& why) {
        report.verdict = CheckReport::Verdict::Unverifiable;
        report.text = "unverifiable: " + why + "; the image may still be fine";
        return report;
    };
    if (!header.ok())
        return unverifiable("the image is too short to hold a header");
    const std::int64_t fntAt = u32(header.value(), 0x40), fntSize = u32(header.value(), 0x44);
    const std::int64_t fatAt = u32(header.value(), 0x48), fatSize = u32(header.value(), 0x4C);
    if (fntAt == 0 || fatAt == 0 || fatSize == 0 || fatSize % 8 != 0 || fntSize > kTableLimit ||
        fatSize > kTableLimit)
        return unverifiable("the header points to no file name and allocation tables");
    rom::Result<rom::Bytes> fat = file.read(fatAt, fatSize);
    rom::Result<rom::Bytes> fnt = file.read(fntAt, fntSize);
    if (!fat.ok() || !fnt.ok())
        return unverifiable("the file tables the header points to lie beyond the image's end");

    std::optional<int> holder;
    Span span;
    for (std::size_t id = 0; id * 8 < fat.value().size(); ++id) {
        const Span entry{u32(fat.value(), id * 8), u32(fat.value(), id * 8 + 4)};
        if (entry.start <= recordBase && recordBase < entry.end) {
            holder = static_cast<int>(id);
            span = entry;
        }
    }
    report.verdict = CheckReport::Verdict::Moved;
    if (!holder) {
        report.text = "the record base " + hexNumber(recordBase) +
                      " lies in no file of the image: the image was rebuilt by another tool and "
                      "its files have moved; do not edit it with this program";
        return report;
    }
    const std::map<int, std::string> paths = filePaths(fnt.value());
    const auto named = paths.find(*holder);
    report.text = "the record base " + hexNumber(recordBase) + " lies in file " +
                  (named == paths.end() ? "id " + std::to_string(*holder)
                                        : named->second + " (id " + std::to_string(*holder) + ")") +
                  "\n";
    const Narc narc = readNarc(file, span);
    if (!narc.problem.empty()) {
        report.text += "but " + narc.problem +
                       ": the image was rebuilt by another tool and its files have moved; do not "
                       "edit it with this program";
        return report;
    }
    bool confirmed = false;
    const std::string judgement = judgeEntries(narc, recordBase, confirmed);
    report.text += "a NARC archive of " + std::to_string(narc.entries.size()) + " entries: ";
    if (!confirmed) {
        report.text += judgement + ": the files have moved; do not edit this image";
        return report;
    }
    report.verdict = CheckReport::Verdict::Confirmed;
    report.text += judgement;
    return report;
}

} // namespace cli
