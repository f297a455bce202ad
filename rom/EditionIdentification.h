#pragma once

#include "GameEdition.h"
#include "IoError.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <optional>
#include <string>

namespace rom {

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
    std::optional<IoError> error;
};

// Reads the game code at offset 12 and looks it up among `editions`. Nothing else of the file
// is examined.
[[nodiscard]] Identification identifyImage(SysIo& io, const std::string& path,
                                           Editions editions = Editions::WithFixedBase);
// The same, in a file that the caller keeps open for more work.
[[nodiscard]] Identification identifyImage(OpenFile& file,
                                           Editions editions = Editions::WithFixedBase);

// Gives the owner write permission if the file lacks it, so later in-place writes are not
// refused because of a read-only flag (a file that is owner-writable already is left alone),
// then asks whether writes will be allowed at all: an error says why they will not.
[[nodiscard]] Status makeOwnerWritable(SysIo& io, const std::string& path);

} // namespace rom
