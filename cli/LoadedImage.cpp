#include "LoadedImage.h"

#include "Identification.h"

namespace cli {

files::Error tableNotFound(files::Error error, const nds::GameEdition& edition) {
    if (edition.hasFixedBase() || error.kind != files::Error::Kind::BadContent)
        return error;
    return files::Error::at(files::Error::Kind::Unsupported, error.path, 0, "",
                            "unsupported game code \"" + std::string(edition.code) +
                                "\": " + error.reason);
}

files::Result<LoadedImage> loadImage(files::SysIo& io, const std::string& path,
                                     files::SysIo::Mode mode) {
    files::Result<files::OpenFile> file = files::OpenFile::open(io, path, mode);
    if (!file.ok())
        return file.error();
    const files::Result<const nds::GameEdition*> found =
        nds::identifyImage(file.value(), nds::Editions::AnyRegion);
    if (!found.ok())
        return found.error();
    files::Result<species::TableRead> table = species::readTable(file.value(), *found.value());
    if (!table.ok())
        return tableNotFound(table.error(), *found.value());
    return LoadedImage{std::move(file).value(), found.value(), std::move(table).value()};
}

} // namespace cli
