#pragma once

#include "OpenFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace rom {

struct ImageFile {
    std::string path; // "/poketool/personal/personal.narc"
    Bytes bytes;
};

// A small DS image: a header with `title` (up to 12 characters) and the four-character
// `code`, a file name table, an allocation table, and `files` one after another on 0x200
// boundaries, as a retail image lays them out.
[[nodiscard]] Bytes buildNdsImage(std::string_view title, std::string_view code,
                                  const std::vector<ImageFile>& files);

// A NARC archive that holds `members` in order.
[[nodiscard]] Bytes buildNarc(const std::vector<Bytes>& members);

} // namespace rom
