#pragma once

#include "NdsFileSystem.h"
#include "base/Error.h"
#include "files/OpenFile.h"

#include <vector>

namespace nds {

// The members of the NARC archive `archive` (a header, then the allocation, name and data
// sections), as spans of the image, in member order. A BadContent error says in words why
// the file is no archive; every span read or returned lies inside the archive.
[[nodiscard]] base::Result<std::vector<FileSpan>> readNarcMembers(files::OpenFile& file,
                                                                  const FileEntry& archive);

// The archive `archive` made anew to hold `members` in order, back to back: its header and its
// name section as they are, its allocation and data sections and its size made for them.
[[nodiscard]] base::Result<files::Bytes> rebuildNarc(files::OpenFile& file,
                                                     const FileEntry& archive,
                                                     const std::vector<files::Bytes>& members);

} // namespace nds
