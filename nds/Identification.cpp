#include "Identification.h"

namespace nds {

namespace {

Identification identified(files::Result<files::Bytes> code, Editions editions) {
    Identification result;
    if (!code.ok()) {
        const bool tooShort = code.error().kind == files::Error::Kind::PastEndOfFile;
        result.outcome =
            tooShort ? Identification::Outcome::TooShort : Identification::Outcome::Unreadable;
        result.error = code.error();
        return result;
    }
    result.code.assign(code.value().begin(), code.value().end());
    result.edition = findEdition(result.code, editions);
    result.outcome = result.edition ? Identification::Outcome::Supported
                                    : Identification::Outcome::UnsupportedCode;
    return result;
}

} // namespace

Identification identifyImage(files::SysIo& io, const std::string& path, Editions editions) {
    files::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return identified(file.error(), editions);
    return identifyImage(file.value(), editions);
}

Identification identifyImage(files::OpenFile& file, Editions editions) {
    return identified(file.read(kGameCodeOffset, kGameCodeLength), editions);
}

} // namespace nds
