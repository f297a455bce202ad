#pragma once

#include "NdsFileSystem.h"

#include "base/Error.h"
#include "files/OpenFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Where things lie in a DS image, as its header and file tables say, for a write that must
// put a file somewhere new: what is used, what is free, how much the cartridge holds.
namespace nds {

inline constexpr std::int64_t kUsedSizeOffset = 0x80;
inline constexpr std::int64_t kCapacityOffset = 0x14;
inline constexpr std::int64_t kHeaderCrcOffset = 0x15E;
// Files lie on these boundaries, and a moved file goes on one.
inline constexpr std::int64_t kFileAlignment = 0x200;
// A download-play signature some retail images carry right after the used size.
inline constexpr std::int64_t kSignatureSize = 0x88;

struct ImageLayout {
    std::int64_t usedSize = 0; // the header's: what is used, without the filler after it
    std::int64_t capacity = 0; // the cartridge's, 128 KiB shifted left by header byte 0x14
    std::int64_t fileSize = 0;
    // What the header, the file tables, the overlay tables, the banner, the ARM binaries and
    // the allocation entries of all files occupy, by file id for the files (-1 for the rest).
    std::vector<std::pair<int, FileSpan>> used;
    // The 0x88 bytes after the used size, when they are no filler: a signature, which stays
    // right after the used size.
    std::optional<FileSpan> signature;

    // The first used byte at or after `from`, files other than `except` and the signature
    // counted; the capacity (or the file's end, if longer) when nothing is used after it.
    [[nodiscard]] std::int64_t nextUsed(std::int64_t from, int except) const;
    // The end of the last used byte, files other than `except` counted, and the signature.
    [[nodiscard]] std::int64_t lastUsed(int except) const;
};

// The layout of the open image, whose file system is `system`. An error says why it cannot
// be read: a header that does not hold it.
[[nodiscard]] base::Result<ImageLayout> readLayout(files::OpenFile& file,
                                                   const NdsFileSystem& system);

// The header's CRC-16 (initial 0xFFFF, the reflected polynomial 0xA001) over `header`, its
// bytes 0x000 to 0x15D.
[[nodiscard]] std::uint16_t headerCrc(std::span<const std::uint8_t> header);

// `offset` rounded up to the next file boundary.
[[nodiscard]] constexpr std::int64_t alignedToFile(std::int64_t offset) {
    return (offset + kFileAlignment - 1) / kFileAlignment * kFileAlignment;
}

} // namespace nds
