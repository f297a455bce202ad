#include "ImageTable.h"

#include "EntryRules.h"
#include "MessageText.h"
#include "RecordStore.h"

#include <span>

namespace cli {

Failure imageFailure(const files::Error& error) {
    const bool aboutContents = error.kind == files::Error::Kind::BadContent ||
                               error.kind == files::Error::Kind::Unsupported ||
                               error.kind == files::Error::Kind::PastEnd ||
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
    const files::Result<const nds::GameEdition*> found =
        nds::identifyImage(file.value(), nds::Editions::AnyRegion);
    if (!found.ok())
        return imageFailure(found.error());
    files::Result<species::TableRead> table = species::readTable(file.value(), *found.value());
    if (!table.ok())
        return tableFailure(table.error(), *found.value());
    if (files::Status closed = file.value().close(); !closed.ok())
        return imageFailure(closed.error());
    return ImageTable{path, found.value(), std::move(table.value().place),
                      std::move(table.value().entries)};
}

} // namespace cli
