#include "ImageTable.h"

#include "EntryRules.h"
#include "RecordStore.h"

#include <span>

namespace cli {

std::string printable(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"')
            text += c;
        else
            text += std::string("\\x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
    }
    return text;
}

std::optional<Failure> identificationFailure(const rom::Identification& found,
                                             const std::string& path) {
    switch (found.outcome) {
    case rom::Identification::Outcome::Unreadable:
        return imageFailure(*found.error);
    case rom::Identification::Outcome::TooShort:
        return Failure{ExitCode::InvalidData, path + ": too short to hold a game code"};
    case rom::Identification::Outcome::UnsupportedCode:
        return Failure{ExitCode::InvalidData,
                       path + ": unsupported game code \"" + printable(found.code) + "\""};
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
