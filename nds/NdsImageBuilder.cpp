#include "NdsImageBuilder.h"

#include "ImageLayout.h"
#include "Overlays.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace nds {
namespace {

constexpr std::size_t kNameTableAt = 0x200;
constexpr std::size_t kAlignment = 0x200;
constexpr std::size_t kBaseCapacity = 128 * 1024;

void append(files::Bytes& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

std::string parentOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}
std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// The name table, and the files' indices in the order of their ids: directories in name
// order, root first, each listing its files and then its subdirectories.
files::Bytes nameTable(const std::vector<ImageFile>& files, std::size_t firstId,
                       std::vector<std::size_t>& byId) {
    std::vector<std::string> directories{""};
    for (const ImageFile& file : files)
        for (std::string dir = parentOf(file.path); !dir.empty(); dir = parentOf(dir))
            if (std::find(directories.begin(), directories.end(), dir) == directories.end())
                directories.push_back(dir);
    std::sort(directories.begin() + 1, directories.end());
    const auto idOf = [&](const std::string& dir) {
        return 0xF000u +
               static_cast<std::uint32_t>(std::find(directories.begin(), directories.end(), dir) -
                                          directories.begin());
    };

    files::Bytes table(8 * directories.size(), 0);
    for (std::size_t d = 0; d < directories.size(); ++d) {
        base::write32(table, 8 * d, static_cast<std::uint32_t>(table.size()));
        base::write16(table, 8 * d + 4, static_cast<std::uint32_t>(firstId + byId.size()));
        base::write16(table, 8 * d + 6,
                      d == 0 ? static_cast<std::uint32_t>(directories.size())
                             : idOf(parentOf(directories[d])));
        for (std::size_t f = 0; f < files.size(); ++f)
            if (parentOf(files[f].path) == directories[d]) {
                const std::string name = nameOf(files[f].path);
                table.push_back(static_cast<std::uint8_t>(name.size()));
                append(table, name);
                byId.push_back(f);
            }
        for (const std::string& child : directories)
            if (!child.empty() && parentOf(child) == directories[d]) {
                const std::string name = nameOf(child);
                table.push_back(static_cast<std::uint8_t>(0x80 | name.size()));
                append(table, name);
                table.resize(table.size() + 2);
                base::write16(table, table.size() - 2, idOf(child));
            }
        table.push_back(0);
    }
    return table;
}

std::size_t aligned(std::size_t offset) {
    return (offset + kAlignment - 1) / kAlignment * kAlignment;
}

} // namespace

files::Bytes buildNdsImage(std::string_view title, std::string_view code,
                           const std::vector<ImageFile>& files,
                           const std::vector<files::Bytes>& overlays) {
    std::vector<std::size_t> byId;
    const files::Bytes names = nameTable(files, overlays.size(), byId);
    const std::size_t count = overlays.size() + files.size();
    const std::size_t allocationAt = aligned(kNameTableAt + names.size());
    const std::size_t overlayTableAt = aligned(allocationAt + 8 * count);
    files::Bytes image(aligned(overlayTableAt + kOverlayEntrySize * overlays.size()), 0);
    std::copy_n(title.begin(), std::min<std::size_t>(title.size(), 12), image.begin());
    std::copy_n(code.begin(), std::min<std::size_t>(code.size(), 4), image.begin() + 12);
    base::write32(image, 0x40, static_cast<std::uint32_t>(kNameTableAt));
    base::write32(image, 0x44, static_cast<std::uint32_t>(names.size()));
    base::write32(image, 0x48, static_cast<std::uint32_t>(allocationAt));
    base::write32(image, 0x4C, static_cast<std::uint32_t>(8 * count));
    std::copy(names.begin(), names.end(), image.begin() + kNameTableAt);
    const auto place = [&](std::size_t id, const files::Bytes& bytes) {
        image.resize(aligned(image.size()), 0);
        base::write32(image, allocationAt + 8 * id, static_cast<std::uint32_t>(image.size()));
        base::write32(image, allocationAt + 8 * id + 4,
                      static_cast<std::uint32_t>(image.size() + bytes.size()));
        image.insert(image.end(), bytes.begin(), bytes.end());
    };
    if (!overlays.empty()) {
        base::write32(image, kArm9OverlayTableOffset, static_cast<std::uint32_t>(overlayTableAt));
        base::write32(image, kArm9OverlayTableOffset + 4,
                      static_cast<std::uint32_t>(kOverlayEntrySize * overlays.size()));
    }
    for (std::size_t id = 0; id < overlays.size(); ++id) {
        const std::size_t entry = overlayTableAt + kOverlayEntrySize * id;
        base::write32(image, entry, static_cast<std::uint32_t>(id));
        base::write32(image, entry + 8, static_cast<std::uint32_t>(overlays[id].size()));
        base::write32(image, entry + 24, static_cast<std::uint32_t>(id));
        place(id, overlays[id]);
    }
    for (std::size_t id = 0; id < byId.size(); ++id)
        place(overlays.size() + id, files[byId[id]].bytes);
    // Trimmed, as images are shared: the file ends where its last file does, which the header
    // says is all it uses; the cartridge holds twice that, so that a file may move.
    base::write32(image, kUsedSizeOffset, static_cast<std::uint32_t>(image.size()));
    std::uint8_t shift = 0;
    while ((kBaseCapacity << shift) < 2 * image.size())
        ++shift;
    image[kCapacityOffset] = shift;
    base::write16(image, kHeaderCrcOffset, headerCrc(image));
    return image;
}

files::Bytes buildNarc(const std::vector<files::Bytes>& members) {
    const std::size_t allocationSize = 12 + 8 * members.size();
    files::Bytes narc(16 + allocationSize, 0);
    append(narc, "BTNF");
    narc.resize(narc.size() + 12, 0);
    append(narc, "GMIF");
    narc.resize(narc.size() + 4, 0);
    std::copy_n("NARC", 4, narc.begin());
    base::write16(narc, 4, 0xFFFE);
    base::write16(narc, 6, 0x0100);
    base::write16(narc, 12, 16);
    base::write16(narc, 14, 3);
    std::copy_n("BTAF", 4, narc.begin() + 16);
    base::write32(narc, 20, static_cast<std::uint32_t>(allocationSize));
    base::write16(narc, 24, static_cast<std::uint32_t>(members.size()));
    const std::size_t names = 16 + allocationSize;
    base::write32(narc, names + 4, 16); // the name section of an archive without names
    base::write32(narc, names + 8, 4);
    base::write16(narc, names + 14, 1);
    std::size_t data = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        base::write32(narc, 28 + 8 * i, static_cast<std::uint32_t>(data));
        data += members[i].size();
        base::write32(narc, 32 + 8 * i, static_cast<std::uint32_t>(data));
    }
    base::write32(narc, names + 20, static_cast<std::uint32_t>(8 + data));
    for (const files::Bytes& member : members)
        narc.insert(narc.end(), member.begin(), member.end());
    base::write32(narc, 8, static_cast<std::uint32_t>(narc.size()));
    return narc;
}

} // namespace nds
