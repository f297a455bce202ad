#include "ImageTable.h"

#include "EntryRules.h"
#include "MessageText.h"
#include "RecordStore.h"

#include <span>

namespace cli {

std::optional<Failure> identificationFailure(const nds::Identification& found,
                                             const std::string& path) {
    switch (found.outcome) {
    case nds::Identification::Outcome::Unreadable:
        return imageFailure(*found.error);
    case nds::Identification::Outcome::TooShort:
        return Failure{ExitCode::InvalidData, path + ": too short to hold a game code"};
    case nds::Identification::Outcome::UnsupportedCode:
        return Failure{ExitCode::InvalidData,
                       path + ": unsupported game code " + files::quoted(found.code)};
    case nds::Identification::Outcome::Supported:
        break;
    }
    return std::nullopt;
}

Failure imageFailure(const files::Error& error) {
    const bool aboutContents = error.kind == files::Error::Kind::BadContent ||
                               error.kind == files::Error::Kind::PastEndOfFile ||
                               error.kind == files::Error::Kind::NotRegularFile;
    return {aboutContents ? ExitCode::InvalidData : ExitCode::IoFailure, error.describe()};
}

Failure tableFailure(const files::Error& error, const nds::GameEdition& edition) {
    if (edition.hasFixedBase() || error.kind != files::Error::Kind::BadContent)
        return imageFailure(error);
    return {ExitCode::InvalidData, error.path + ": unsupported game code \"" +
                                       std::string(edition.code) + "\": " + error.reason};
}

std::variant<ImageTable, Failure> loadImageTable(files::SysIo& io, const std::string& path) {
    files::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return imageFailure(file.error());
    const nds::Identification found = nds::identifyImage(file.value(), nds::Editions::AnyRegion);
    if (std::optional<Failure> failure = identificationFailure(found, path))
        return *failure;
    files::Result<species::TableRead> table = species::readTable(file.value(), *found.edition);
    if (!table.ok())
        return tableFailure(table.error(), *found.edition);
    if (files::Status closed = file.value().close(); !closed.ok())
        return imageFailure(closed.error());
    return ImageTable{path, found.edition, std::move(table.value().place),
                      std::move(table.value().entries)};
}

} // namespace cli
