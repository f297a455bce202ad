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

void OpenNotices::tell(std::ostream& err, const std::string& image, const files::OpenNotes& notes) {
    if (notes.recovery)
        err << "statwright-cli: " << notes.recovery->describe() << "\n";
    if (notes.unlocked && !m_toldUnlocked) {
        m_toldUnlocked = true;
        err << "statwright-cli: \"" << image
            << "\" cannot be locked on its file system; going on without a lock, so no other "
               "program should write into it meanwhile\n";
    }
}

files::Result<OpenImage> openImage(const Context& context, const std::string& path,
                                   files::Access access) {
    files::Result<files::LockedFile> file = files::openLocked(context.io, path, access);
    if (!file.ok())
        return file.error();
    context.notices.tell(context.err, path, file.value().notes);
    const files::Result<const nds::GameEdition*> found = nds::identifyImage(file.value().file);
    if (!found.ok())
        return found.error();
    return OpenImage{std::move(file.value().file), found.value(), file.value().notes};
}

files::Result<LoadedImage> loadImage(const Context& context, const std::string& path,
                                     files::Access access) {
    files::Result<OpenImage> image = openImage(context, path, access);
    if (!image.ok())
        return image.error();
    OpenImage& opened = image.value();
    files::Result<species::TableRead> table = species::readTable(opened.file, *opened.edition);
    if (!table.ok())
        return tableNotFound(table.error(), *opened.edition);
    return LoadedImage{std::move(opened.file), opened.edition, std::move(table).value(),
                       opened.notes};
}

} // namespace cli
