#include "EditionIdentification.h"

#include "PositionedFile.h"

#include <sys/stat.h>

namespace rom {

Identification identifyImage(SysIo& io, const std::string& path) {
    Identification result;
    Result<Bytes> code = readAt(io, path, kGameCodeOffset, kGameCodeLength);
    if (!code.ok()) {
        const bool tooShort = code.error().kind == IoError::Kind::PastEndOfFile;
        result.outcome =
            tooShort ? Identification::Outcome::TooShort : Identification::Outcome::Unreadable;
        result.error = code.error();
        return result;
    }
    result.code.assign(code.value().begin(), code.value().end());
    result.edition = findEdition(result.code);
    result.outcome = result.edition ? Identification::Outcome::Supported
                                    : Identification::Outcome::UnsupportedCode;
    return result;
}

Status makeOwnerWritable(SysIo& io, const std::string& path) {
    const std::int64_t mode = io.fileMode(path);
    if (mode < 0)
        return IoError::fromErrno(static_cast<int>(-mode), "examine", path);
    const auto bits = static_cast<unsigned>(mode);
    if (bits & S_IWUSR)
        return {};
    if (const int result = io.chmod(path, (bits & 07777u) | S_IWUSR); result < 0)
        return IoError::fromErrno(-result, "make writable", path);
    return {};
}

} // namespace rom
