#include "ImageTable.h"

#include "EntryRules.h"
#include "Printable.h"
#include "RecordStore.h"

#include <span>

namespace cli {

std::optional<Failure> identificationFailure(const rom::Identification& found,
                                             const std::string& path) {
    switch (found.outcome) {
    case rom::Identification::Outcome::Unreadable:
        return imageFailure(*found.error);
    case rom::Identification::Outcome::TooShort:
        return Failure{ExitCode::InvalidData, path + ": too short to hold a game code"};
    case rom::Identification::Outcome::UnsupportedCode:
        return Failure{ExitCode::InvalidData,
                       path + ": unsupported game code " + rom::quoted(found.code)};
    case rom::Identification::Outcome::Supported:
        break;
    }
    return std::nullopt;
}

Failure imageFailure(const rom::IoError& error) {
    const bool aboutContents = error.kind == rom::IoError::Kind::BadContent ||
                               error.kind == rom::IoError::Kind::PastEndOfFile ||
                               error.kind == rom::IoError::Kind::NotRegularFile;
    return {aboutContents ? ExitCode::InvalidData : ExitCode::IoFailure, error.describe()};
}

Failure tableFailure(const rom::IoError& error, const rom::GameEdition& edition) {
    if (edition.hasFixedBase() || error.kind != rom::IoError::Kind::BadContent)
        return imageFailure(error);
    return {ExitCode::InvalidData, error.path + ": unsupported game code \"" +
                                       std::string(edition.code) + "\": " + error.reason};
}

std::variant<ImageTable, Failure> loadImageTable(rom::SysIo& io, const std::string& path) {
    rom::Result<rom::OpenFile> file = rom::OpenFile::open(io, path, rom::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return imageFailure(file.error());
    const rom::Identification found = rom::identifyImage(file.value(), rom::Editions::AnyRegion);
    if (std::optional<Failure> failure = identificationFailure(found, path))
        return *failure;
    rom::Result<species::TableRead> table = species::readTable(file.value(), *found.edition);
    if (!table.ok())
        return tableFailure(table.error(), *found.edition);
    if (rom::Status closed = file.value().close(); !closed.ok())
        return imageFailure(closed.error());
    return ImageTable{path, found.edition, std::move(table.value().place),
                      std::move(table.value().entries)};
}

} // namespace cli
