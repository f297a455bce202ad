#pragma once

#include "files/LockedFile.h"

#include <ostream>
#include <string>

namespace cli {

// Says on standard error what opening an image found: every recovery from a journal, and,
// once a run, that the image's file system has no locks.
class OpenNotices {
public:
    void tell(std::ostream& err, const std::string& image, const files::OpenNotes& notes);

private:
    bool m_toldUnlocked = false;
};

} // namespace cli
