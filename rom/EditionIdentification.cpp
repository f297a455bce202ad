#include "EditionIdentification.h"

#include <sys/stat.h>

namespace rom {

namespace {

Identification identified(Result<Bytes> code, Editions editions) {
    Identification result;
    if (!code.ok()) {
        const bool tooShort = code.error().kind == IoError::Kind::PastEndOfFile;
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

Identification identifyImage(SysIo& io, const std::string& path, Editions editions) {
    Result<OpenFile> file = OpenFile::open(io, path, SysIo::Mode::ReadOnly);
    if (!file.ok())
        return identified(file.error(), editions);
    return identifyImage(file.value(), editions);
}

Identification identifyImage(OpenFile& file, Editions editions) {
    return identified(file.read(kGameCodeOffset, kGameCodeLength), editions);
}

Status makeOwnerWritable(SysIo& io, const std::string& path) {
    FileStatus status;
    if (const int result = io.status(path, status); result < 0)
        return IoError::fromErrno(-result, "examine", path);
    const unsigned bits = status.mode;
    if (!(bits & S_IWUSR))
        if (const int result = io.chmod(path, (bits & 07777u) | S_IWUSR); result < 0)
            return IoError::fromErrno(-result, "make writable", path);
    // Permission bits are not all: read-only media and immutable files refuse writes too.
    if (const int result = io.checkWritable(path); result < 0)
        return IoError::fromErrno(-result, "make writable", path);
    return {};
}

} // namespace rom
