#pragma once

#include "Error.h"
#include "GameEdition.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <optional>
#include <string>

namespace nds {

inline constexpr std::int64_t kGameCodeOffset = 12;
inline constexpr std::int64_t kGameCodeLength = 4;

struct Identification {
    enum class Outcome {
        Supported,       // `edition` is the matching row
        UnsupportedCode, // `code` holds the four bytes read
        TooShort,        // the file ends before the game code does
        Unreadable,      // `error` says why
    };

    Outcome outcome = Outcome::Unreadable;
    const GameEdition* edition = nullptr;
    std::string code;
    std::optional<files::Error> error;
};

// Reads the game code at offset 12 and looks it up among `editions`. Nothing else of the file
// is examined.
[[nodiscard]] Identification identifyImage(files::SysIo& io, const std::string& path,
                                           Editions editions = Editions::WithFixedBase);
// The same, in a file that the caller keeps open for more work.
[[nodiscard]] Identification identifyImage(files::OpenFile& file,
                                           Editions editions = Editions::WithFixedBase);

} // namespace nds
