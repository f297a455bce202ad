#include "ImageLayout.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace nds {
namespace {

// The header and the secure area after it, which nothing but a moved file's entry, the used
// size and the header's CRC may ever be written into.
constexpr std::int64_t kHeaderAndSecureArea = 0x8000;
constexpr std::int64_t kHeaderRead = 0x160;
constexpr std::int64_t kBaseCapacity = 128 * 1024;
constexpr int kLargestCapacityShift = 16; // 8 GiB: more than any cartridge

// The banner's size by its version, as the header points to it.
std::int64_t bannerSize(std::uint16_t version) {
    switch (version) {
    case 2:
        return 0x940;
    case 3:
        return 0xA40;
    case 0x103:
        return 0x23C0;
    default:
        return 0x840;
    }
}

} // namespace

std::int64_t ImageLayout::nextUsed(std::int64_t from, int except) const {
    std::int64_t next = std::max(capacity, fileSize);
    for (const auto& [id, span] : used)
        if (id != except && span.end > from)
            next = std::min(next, std::max(span.start, from));
    if (signature && signature->end > from)
        next = std::min(next, std::max(signature->start, from));
    return next;
}

std::int64_t ImageLayout::lastUsed(int except) const {
    std::int64_t last = kHeaderAndSecureArea;
    for (const auto& [id, span] : used)
        if (id != except)
            last = std::max(last, span.end);
    if (signature)
        last = std::max(last, signature->end);
    return last;
}

std::uint16_t headerCrc(std::span<const std::uint8_t> header) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : header.first(static_cast<std::size_t>(kHeaderCrcOffset))) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
    return crc;
}

base::Result<ImageLayout> readLayout(files::OpenFile& file, const NdsFileSystem& system) {
    base::Result<files::Bytes> header = file.read(0, std::min(kHeaderRead, file.size()));
    if (!header.ok())
        return header.error();
    const files::Bytes& h = header.value();
    if (static_cast<std::int64_t>(h.size()) < kHeaderRead)
        return base::Error::badContent("read the layout of", file.path(),
                                       "its header is cut short");
    ImageLayout layout;
    layout.fileSize = file.size();
    layout.usedSize = base::read32(h, kUsedSizeOffset);
    const int shift = std::min<int>(h[kCapacityOffset], kLargestCapacityShift);
    layout.capacity = kBaseCapacity << shift;
    layout.used.emplace_back(-1, FileSpan{0, kHeaderAndSecureArea});
    layout.used.emplace_back(-1, system.nameTable());
    layout.used.emplace_back(-1, system.allocationTable());
    // The ARM binaries and the overlay tables: offset and size, 32 bits each.
    for (const std::int64_t at : {0x20, 0x30, 0x50, 0x58}) {
        const std::int64_t start = base::read32(h, at);
        const std::int64_t size = base::read32(h, at + (at < 0x50 ? 0xC : 4));
        if (start > 0 && size > 0)
            layout.used.emplace_back(-1, FileSpan{start, start + size});
    }
    if (const std::int64_t banner = base::read32(h, 0x68); banner > 0) {
        std::uint16_t version = 1;
        if (banner + 2 <= file.size()) {
            base::Result<files::Bytes> read = file.read(banner, 2);
            if (!read.ok())
                return read.error();
            version = base::read16(read.value(), 0);
        }
        layout.used.emplace_back(-1, FileSpan{banner, banner + bannerSize(version)});
    }
    for (const auto& [id, span] : system.fileSpans())
        layout.used.emplace_back(id, span);
    // What lies after the used size is filler (0x00 or 0xFF), or a signature.
    if (layout.usedSize > 0 && layout.usedSize + kSignatureSize <= file.size()) {
        base::Result<files::Bytes> after = file.read(layout.usedSize, kSignatureSize);
        if (!after.ok())
            return after.error();
        const files::Bytes& bytes = after.value();
        const bool filler = std::all_of(bytes.begin(), bytes.end(),
                                        [&](std::uint8_t b) { return b == bytes.front(); }) &&
                            (bytes.front() == 0x00 || bytes.front() == 0xFF);
        if (!filler)
            layout.signature = FileSpan{layout.usedSize, layout.usedSize + kSignatureSize};
    }
    return layout;
}

} // namespace nds
