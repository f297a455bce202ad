#include "RecordStore.h"

#include "EntryRules.h"

#include "PositionedFile.h"

#include <cerrno>
#include <limits>

namespace species {

rom::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position) {
    constexpr std::int64_t kLimit =
        std::numeric_limits<std::int64_t>::max() - kRecordSize * kSpeciesCount;
    if (position < 0 || position >= kSpeciesCount || recordBase < 0 || recordBase > kLimit) {
        rom::IoError error =
            rom::IoError::fromErrno(EINVAL, "locate the record of", "", recordBase);
        error.kind = rom::IoError::Kind::InvalidInput;
        error.reason = "list position " + std::to_string(position) + " has no record there";
        return error;
    }
    return recordBase + static_cast<std::int64_t>(position) * kRecordSize;
}

rom::Result<RecordBytes> readRecord(rom::SysIo& io, const std::string& path,
                                    std::int64_t recordBase, int position) {
    rom::Result<std::int64_t> offset = recordOffset(recordBase, position);
    if (!offset.ok()) {
        rom::IoError error = offset.error();
        error.path = path;
        return error;
    }
    return rom::readAt(io, path, offset.value(), kRecordSize);
}

rom::Status saveRecord(rom::SysIo& io, const std::string& path, std::int64_t recordBase,
                       int position, const RecordEdit& edit) {
    rom::Result<std::int64_t> offset = recordOffset(recordBase, position);
    if (!offset.ok()) {
        rom::IoError error = offset.error();
        error.path = path;
        return error;
    }
    return rom::updateAt(io, path, offset.value(), kEditedSpan,
                         [&edit](rom::Bytes& span) { applyEdit(span, edit); });
}

} // namespace species
