#pragma once

#include "files/OpenFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace nds {

struct ImageFile {
    std::string path; // "/poketool/personal/personal.narc"
    files::Bytes bytes;
};

// A small DS image: a header with `title` (up to 12 characters) and the four-character
// `code`, a file name table, an allocation table, and `files` one after another on 0x200
// boundaries, as a retail image lays them out; trimmed after the last file, with the used
// size, a capacity of twice that and the CRC in the header. `overlays` are ARM9 overlays 0, 1,
// ..., uncompressed, listed in the header's overlay table; they take the first file ids, as
// in a retail image, and lie before the named files.
[[nodiscard]] files::Bytes buildNdsImage(std::string_view title, std::string_view code,
                                         const std::vector<ImageFile>& files,
                                         const std::vector<files::Bytes>& overlays = {});

// A NARC archive that holds `members` in order.
[[nodiscard]] files::Bytes buildNarc(const std::vector<files::Bytes>& members);

} // namespace nds
