#include "Narc.h"

#include "base/LittleEndian.h"

namespace nds {
namespace {

constexpr std::uint32_t kNarcMagic = 0x4352414E;       // "NARC"
constexpr std::uint32_t kAllocationMagic = 0x46415442; // "BTAF"
constexpr std::uint32_t kNamesMagic = 0x464E5442;      // "BTNF"
constexpr std::uint32_t kDataMagic = 0x46494D47;       // "GMIF"

class NarcReader {
public:
    NarcReader(files::OpenFile& file, const FileEntry& archive)
        : m_file(file), m_archive(archive) {}

    base::Result<std::vector<FileSpan>> members() {
        const FileSpan& span = m_archive.span;
        if (span.size() < 16)
            return bad("is not a NARC archive");
        base::Result<files::Bytes> head = m_file.read(span.start, 16);
        if (!head.ok())
            return head.error();
        if (base::read32(head.value(), 0) != kNarcMagic)
            return bad("is not a NARC archive");

        const std::int64_t allocationAt = span.start + base::read16(head.value(), 12);
        base::Result<files::Bytes> allocation =
            section(allocationAt, kAllocationMagic, "allocation", 12);
        if (!allocation.ok())
            return allocation.error();
        const std::int64_t allocationSize = base::read32(allocation.value(), 4);
        const std::int64_t count = base::read16(allocation.value(), 8);
        if (12 + 8 * count > allocationSize)
            return bad("has an allocation section too short for its " + std::to_string(count) +
                       " members");
        base::Result<files::Bytes> table = m_file.read(allocationAt + 12, 8 * count);
        if (!table.ok())
            return table.error();

        const std::int64_t namesAt = allocationAt + allocationSize;
        base::Result<files::Bytes> names = section(namesAt, kNamesMagic, "name", 8);
        if (!names.ok())
            return names.error();
        const std::int64_t dataAt = namesAt + base::read32(names.value(), 4);
        base::Result<files::Bytes> data = section(dataAt, kDataMagic, "data", 8);
        if (!data.ok())
            return data.error();
        const FileSpan contents{dataAt + 8, dataAt + base::read32(data.value(), 4)};

        std::vector<FileSpan> found;
        found.reserve(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const FileSpan member{contents.start + base::read32(table.value(), i * 8),
                                  contents.start + base::read32(table.value(), i * 8 + 4)};
            if (member.end < member.start || member.end > contents.end)
                return bad("has a member (" + std::to_string(i) + ") outside its data section");
            found.push_back(member);
        }
        return found;
    }

private:
    base::Error bad(const std::string& why) const {
        return base::Error::badContent("read an archive in", m_file.path(),
                                       m_archive.path + " " + why);
    }

    // The first `length` bytes of the section at `at`, once its name is checked and it is
    // known to lie inside the archive.
    base::Result<files::Bytes> section(std::int64_t at, std::uint32_t magic, const char* what,
                                       std::int64_t length) {
        const auto missing = [&] { return bad(std::string("has no ") + what + " section"); };
        if (at < m_archive.span.start || at + length > m_archive.span.end)
            return missing();
        base::Result<files::Bytes> head = m_file.read(at, length);
        if (!head.ok())
            return head.error();
        const std::int64_t size = base::read32(head.value(), 4);
        if (base::read32(head.value(), 0) != magic || size < length ||
            at + size > m_archive.span.end)
            return missing();
        return head;
    }

    files::OpenFile& m_file;
    const FileEntry& m_archive;
};

} // namespace

base::Result<std::vector<FileSpan>> readNarcMembers(files::OpenFile& file,
                                                    const FileEntry& archive) {
    return NarcReader(file, archive).members();
}

base::Result<files::Bytes> rebuildNarc(files::OpenFile& file, const FileEntry& archive,
                                       const std::vector<files::Bytes>& members) {
    // Read as readNarcMembers() checks it: the sections lie where the header says.
    if (base::Result<std::vector<FileSpan>> checked = readNarcMembers(file, archive); !checked.ok())
        return checked.error();
    base::Result<files::Bytes> first = file.read(archive.span.start, 16);
    if (!first.ok())
        return first.error();
    base::Result<files::Bytes> head =
        file.read(archive.span.start, base::read16(first.value(), 12));
    if (!head.ok())
        return head.error();
    const std::int64_t allocationAt = archive.span.start + base::read16(first.value(), 12);
    base::Result<files::Bytes> allocation = file.read(allocationAt, 8);
    if (!allocation.ok())
        return allocation.error();
    const std::int64_t namesAt = allocationAt + base::read32(allocation.value(), 4);
    base::Result<files::Bytes> namesHead = file.read(namesAt, 8);
    if (!namesHead.ok())
        return namesHead.error();
    base::Result<files::Bytes> names = file.read(namesAt, base::read32(namesHead.value(), 4));
    if (!names.ok())
        return names.error();

    files::Bytes narc = head.value();
    const std::size_t table = narc.size();
    narc.resize(table + 12 + 8 * members.size(), 0);
    std::copy_n(allocation.value().begin(), 4, narc.begin() + std::ptrdiff_t(table)); // "BTAF"
    base::write32(narc, table + 4, static_cast<std::uint32_t>(12 + 8 * members.size()));
    base::write16(narc, table + 8, static_cast<std::uint16_t>(members.size()));
    std::size_t data = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        base::write32(narc, table + 12 + 8 * i, static_cast<std::uint32_t>(data));
        data += members[i].size();
        base::write32(narc, table + 16 + 8 * i, static_cast<std::uint32_t>(data));
    }
    narc.insert(narc.end(), names.value().begin(), names.value().end());
    const std::size_t gmif = narc.size();
    narc.resize(gmif + 8, 0);
    std::copy_n("GMIF", 4, narc.begin() + std::ptrdiff_t(gmif));
    base::write32(narc, gmif + 4, static_cast<std::uint32_t>(8 + data));
    for (const files::Bytes& member : members)
        narc.insert(narc.end(), member.begin(), member.end());
    base::write32(narc, 8, static_cast<std::uint32_t>(narc.size()));
    return narc;
}

} // namespace nds
