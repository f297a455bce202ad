#pragma once

#include "GameEdition.h"
#include "base/Error.h"
#include "files/OpenFile.h"
#include "files/SysIo.h"

#include <string>

namespace nds {

inline constexpr std::int64_t kGameCodeOffset = 12;
inline constexpr std::int64_t kGameCodeLength = 4;

// The edition whose code stands at offset 12 of the image; nothing else of the file is
// examined. A file that ends before the code, or holds no four capital letters or digits
// there, is no DS image (a NotAnImage error); a code of no edition gives an Unsupported error;
// a file that cannot be read, the system's error.
[[nodiscard]] base::Result<const GameEdition*> identifyImage(files::SysIo& io,
                                                             const std::string& path);
// The same, in a file that the caller keeps open for more work.
[[nodiscard]] base::Result<const GameEdition*> identifyImage(files::OpenFile& file);

} // namespace nds
