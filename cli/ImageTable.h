#pragma once

#include "ExitCode.h"

#include "EditionIdentification.h"
#include "GameEdition.h"
#include "RecordCodec.h"
#include "SysIo.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

// A failure to hand to the user: what went wrong, and the exit status it earns.
struct Failure {
    ExitCode code;
    std::string message;
};

// All entries of an identified image, read with one open.
struct ImageTable {
    std::string path;
    const rom::GameEdition* edition = nullptr;
    std::vector<species::FieldValues> entries; // one per list position
};

// Why an image that identification did not accept cannot be worked on, or nothing.
[[nodiscard]] std::optional<Failure> identificationFailure(const rom::Identification& found,
                                                           const std::string& path);

[[nodiscard]] std::variant<ImageTable, Failure> loadImageTable(rom::SysIo& io,
                                                               const std::string& path);

// The species list entry without its trailing spaces.
[[nodiscard]] std::string speciesName(int position);

// The text a list shows for `value`, or nothing when the value lies beyond the list (or the
// field is a number).
[[nodiscard]] std::optional<std::string> listText(species::Field field, int value);

// "0x1C15A08"
[[nodiscard]] std::string hexNumber(std::int64_t value);

} // namespace cli
