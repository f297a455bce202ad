#include "LoadedImage.h"

#include "Identification.h"
#include "TableLocation.h"
#include "Text.h"

namespace cli {

void OpenNotices::tell(std::ostream& err, const std::string& image, const files::OpenNotes& notes) {
    for (const files::Recovery& recovery : notes.recoveries)
        err << "statwright-cli: " << recovery.describe() << "\n";
    if (notes.unlocked && !m_toldUnlocked) {
        m_toldUnlocked = true;
        err << "statwright-cli: \"" << base::printable(image)
            << "\" cannot be locked on its file system; going on without a lock, so no other "
               "program should write into it meanwhile\n";
    }
}

base::Result<OpenImage> openImage(const Context& context, const std::string& path,
                                  files::Access access) {
    base::Result<files::LockedFile> file =
        files::openLocked(context.io, path, access, species::writableRanges);
    if (!file.ok())
        return file.error();
    context.notices.tell(context.err, path, file.value().notes);
    const base::Result<const nds::GameEdition*> found = nds::identifyImage(file.value().file);
    if (!found.ok())
        return found.error();
    return OpenImage{std::move(file.value().file), found.value(), file.value().notes};
}

base::Result<LoadedImage> loadImage(const Context& context, const std::string& path,
                                    files::Access access) {
    base::Result<OpenImage> image = openImage(context, path, access);
    if (!image.ok())
        return image.error();
    OpenImage& opened = image.value();
    base::Result<species::TableRead> table = species::readTable(opened.file, *opened.edition);
    if (!table.ok())
        return table.error();
    return LoadedImage{std::move(opened.file), opened.edition, std::move(table).value(),
                       opened.notes};
}

} // namespace cli
