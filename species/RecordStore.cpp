#include "RecordStore.h"

#include "EntryRules.h"

#include "PositionedFile.h"

#include <cerrno>
#include <limits>

namespace species {

rom::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position, int entries) {
    const bool inside = position >= 0 && position < entries && recordBase >= 0 &&
                        recordBase <= std::numeric_limits<std::int64_t>::max() -
                                          std::int64_t{kRecordSize} * entries;
    if (!inside) {
        rom::IoError error =
            rom::IoError::fromErrno(EINVAL, "locate the record of", "", recordBase);
        error.kind = rom::IoError::Kind::InvalidInput;
        error.reason = "list position " + std::to_string(position) + " has no record there";
        return error;
    }
    return recordBase + static_cast<std::int64_t>(position) * kRecordSize;
}

namespace {

// The open image's table and the offset of the record at `position` in it.
rom::Result<std::pair<TablePlace, std::int64_t>>
locate(rom::OpenFile& file, const rom::GameEdition& edition, int position) {
    rom::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    rom::Result<std::int64_t> offset =
        recordOffset(place.value().base, position, place.value().entries);
    if (!offset.ok()) {
        rom::IoError error = offset.error();
        error.path = file.path();
        return error;
    }
    return std::pair{std::move(place).value(), offset.value()};
}

} // namespace

rom::Result<RecordRead> readRecord(rom::SysIo& io, const std::string& path,
                                   const rom::GameEdition& edition, int position) {
    rom::Result<rom::OpenFile> file = rom::OpenFile::open(io, path, rom::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    auto located = locate(file.value(), edition, position);
    if (!located.ok())
        return located.error();
    rom::Result<rom::Bytes> bytes = file.value().read(located.value().second, kRecordSize);
    if (!bytes.ok())
        return bytes.error();
    if (rom::Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return RecordRead{std::move(located.value().first), std::move(bytes).value()};
}

rom::Result<TablePlace> saveRecord(rom::SysIo& io, const std::string& path,
                                   const rom::GameEdition& edition, int position,
                                   const RecordEdit& edit) {
    rom::Result<rom::OpenFile> file = rom::OpenFile::open(io, path, rom::SysIo::Mode::ReadWrite);
    if (!file.ok())
        return file.error();
    auto located = locate(file.value(), edition, position);
    if (!located.ok())
        return located.error();
    const rom::Status updated = rom::update(file.value(), located.value().second, kEditedSpan,
                                            [&edit](rom::Bytes& span) { applyEdit(span, edit); });
    if (!updated.ok())
        return updated.error();
    if (rom::Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return std::move(located.value().first);
}

rom::Result<TableRead> readTable(rom::OpenFile& file, const rom::GameEdition& edition) {
    rom::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    const int entries = place.value().entries;
    rom::Result<rom::Bytes> bytes =
        file.read(place.value().base, std::int64_t{kRecordSize} * entries);
    if (!bytes.ok())
        return bytes.error();
    TableRead table{std::move(place).value(), {}};
    table.entries.reserve(static_cast<std::size_t>(entries));
    for (int position = 0; position < entries; ++position) {
        const auto first = bytes.value().begin() + position * kRecordSize;
        table.entries.push_back(decodeRecord(RecordBytes(first, first + kRecordSize)));
    }
    return table;
}

} // namespace species
