#include "OpenNotices.h"

#include "base/Text.h"

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

} // namespace cli
