#include "Overlays.h"

#include "base/LittleEndian.h"

namespace nds {
namespace {

// More overlays than any game has: a table larger than this is no overlay table.
constexpr std::int64_t kMaxOverlays = 4096;
constexpr std::uint32_t kCompressedFlag = 1u << 24;

} // namespace

base::Result<std::vector<Overlay>> readArm9Overlays(files::OpenFile& file) {
    if (file.size() < kArm9OverlayTableOffset + 8)
        return std::vector<Overlay>{};
    base::Result<files::Bytes> pointer = file.read(kArm9OverlayTableOffset, 8);
    if (!pointer.ok())
        return pointer.error();
    const std::int64_t offset = base::read32(pointer.value(), 0);
    const std::int64_t size = base::read32(pointer.value(), 4);
    if (offset == 0 || size == 0)
        return std::vector<Overlay>{};
    const auto bad = [&](const std::string& why) {
        return base::Error::badContent("read the overlay table of", file.path(), why);
    };
    if (size % kOverlayEntrySize != 0 || size / kOverlayEntrySize > kMaxOverlays)
        return bad("its ARM9 overlay table is " + std::to_string(size) +
                   " bytes long, which no table of 32-byte entries is");
    if (offset + size > file.size())
        return bad("its ARM9 overlay table lies past the image's end");
    base::Result<files::Bytes> table = file.read(offset, size);
    if (!table.ok())
        return table.error();
    std::vector<Overlay> overlays;
    for (std::int64_t at = 0; at < size; at += kOverlayEntrySize) {
        const auto entry = static_cast<std::size_t>(at);
        overlays.push_back({static_cast<int>(base::read32(table.value(), entry)),
                            static_cast<int>(base::read32(table.value(), entry + 24)),
                            (base::read32(table.value(), entry + 28) & kCompressedFlag) != 0});
    }
    return overlays;
}

base::Result<FileSpan> arm9OverlaySpan(files::OpenFile& file, const NdsFileSystem& system, int id) {
    base::Result<std::vector<Overlay>> overlays = readArm9Overlays(file);
    if (!overlays.ok())
        return overlays.error();
    const std::string name = "ARM9 overlay " + std::to_string(id);
    for (const Overlay& overlay : overlays.value()) {
        if (overlay.id != id)
            continue;
        if (overlay.compressed)
            return base::Error::badContent("read", file.path(),
                                           name + " is compressed, so its bytes are not those "
                                                  "the game reads");
        const std::map<int, FileSpan> spans = system.fileSpans();
        const auto found = spans.find(overlay.fileId);
        if (found == spans.end())
            return base::Error::badContent("read", file.path(),
                                           name + " (file " + std::to_string(overlay.fileId) +
                                               ") has no bytes in the image");
        return found->second;
    }
    return base::Error::badContent("read", file.path(),
                                   "the header's overlay table lists no " + name);
}

} // namespace nds
