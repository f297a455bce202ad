#pragma once

#include "ExitCode.h"

#include "GameEdition.h"
#include "Identification.h"
#include "RecordCodec.h"
#include "SysIo.h"
#include "TableLocation.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cli {

// A failure to hand to the user: what went wrong, and the exit status it earns.
struct Failure {
    ExitCode code = ExitCode::InvalidData;
    std::string message;
};

// All entries of an identified image, read with one open.
struct ImageTable {
    std::string path;
    const nds::GameEdition* edition = nullptr;
    species::TablePlace place;
    std::vector<species::FieldValues> entries; // one per position: 500, or 507 in Platinum
};

// A failure of a core operation on an image, with the exit status it earns.
[[nodiscard]] Failure imageFailure(const files::Error& error);
// The same for finding the table of `edition`: an edition without a fixed base is supported
// only where the image's file system holds its table.
[[nodiscard]] Failure tableFailure(const files::Error& error, const nds::GameEdition& edition);

// Identifies the image among every region of the three games and reads the table that its
// game reads, with one open.
[[nodiscard]] std::variant<ImageTable, Failure> loadImageTable(files::SysIo& io,
                                                               const std::string& path);

} // namespace cli
