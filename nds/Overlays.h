#pragma once

#include "NdsFileSystem.h"

#include "base/Error.h"
#include "files/OpenFile.h"

#include <cstdint>
#include <vector>

// The ARM9 overlays of a DS image: code and data the game loads into memory as it needs them,
// each a file of the allocation table without a name, listed in the header's overlay table.
namespace nds {

// The header's pointer to the ARM9 overlay table: its offset, then its size.
inline constexpr std::int64_t kArm9OverlayTableOffset = 0x50;
inline constexpr std::int64_t kOverlayEntrySize = 32;

struct Overlay {
    int id = 0;
    int fileId = 0;
    // The overlay table's flag: the file holds the overlay compressed, so its bytes are not
    // the bytes the game reads.
    bool compressed = false;
};

// The ARM9 overlay table of the open image, in the order it lists them; none when the header
// points to none. An error says why a table it points to cannot be read: it lies outside the
// image, or is larger than any game's.
[[nodiscard]] base::Result<std::vector<Overlay>> readArm9Overlays(files::OpenFile& file);

// Where ARM9 overlay `id` of the open image, whose file system is `system`, lies: its file's
// bytes, unless an error says why not (no such overlay, compressed, no bytes in the image).
[[nodiscard]] base::Result<FileSpan> arm9OverlaySpan(files::OpenFile& file,
                                                     const NdsFileSystem& system, int id);

} // namespace nds
