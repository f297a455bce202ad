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

files::Result<OpenImage> openImage(files::SysIo& io, const std::string& path,
                                   files::SysIo::Mode mode) {
    files::Result<files::OpenFile> file = files::OpenFile::open(io, path, mode);
    if (!file.ok())
        return file.error();
    const files::Result<const nds::GameEdition*> found = nds::identifyImage(file.value());
    if (!found.ok())
        return found.error();
    return OpenImage{std::move(file).value(), found.value()};
}

files::Result<LoadedImage> loadImage(files::SysIo& io, const std::string& path,
                                     files::SysIo::Mode mode) {
    files::Result<OpenImage> image = openImage(io, path, mode);
    if (!image.ok())
        return image.error();
    OpenImage& opened = image.value();
    files::Result<species::TableRead> table = species::readTable(opened.file, *opened.edition);
    if (!table.ok())
        return tableNotFound(table.error(), *opened.edition);
    return LoadedImage{std::move(opened.file), opened.edition, std::move(table).value()};
}

} // namespace cli
