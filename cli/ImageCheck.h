#pragma once

#include "ExitCode.h"

#include "SysIo.h"

#include <string>

namespace cli {

struct CheckReport {
    enum class Verdict {
        Confirmed,    // the table is a NARC of 44-byte records at this edition's place
        Moved,        // the file system says otherwise: do not edit this image
        Unverifiable, // no readable file system to ask
    };

    Verdict verdict = Verdict::Unverifiable;
    std::string text; // lines for the user
};

// Asks the image's own file system (name and allocation tables) which file holds the
// edition's record base, and whether that file is an archive of 44-byte records that covers
// all 500 entries from there.
[[nodiscard]] CheckReport checkImage(rom::SysIo& io, const std::string& path,
                                     std::int64_t recordBase);

} // namespace cli
