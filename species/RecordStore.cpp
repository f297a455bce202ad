#include "RecordStore.h"

#include "EntryRules.h"

#include "FileAccess.h"

#include <cerrno>
#include <limits>

namespace species {

files::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position, int entries) {
    const bool inside = position >= 0 && position < entries && recordBase >= 0 &&
                        recordBase <= std::numeric_limits<std::int64_t>::max() -
                                          std::int64_t{kRecordSize} * entries;
    if (!inside) {
        return files::Error::failed(
            files::Error::Kind::OutsideFile, "locate the record of", "",
            "list position " + std::to_string(position) + " has no record there", recordBase);
    }
    return recordBase + static_cast<std::int64_t>(position) * kRecordSize;
}

namespace {

// The open image's table and the offset of the record at `position` in it.
files::Result<std::pair<TablePlace, std::int64_t>>
locate(files::OpenFile& file, const nds::GameEdition& edition, int position) {
    files::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    files::Result<std::int64_t> offset =
        recordOffset(place.value().base, position, place.value().entries);
    if (!offset.ok()) {
        files::Error error = offset.error();
        error.path = file.path();
        return error;
    }
    return std::pair{std::move(place).value(), offset.value()};
}

} // namespace

files::Result<RecordRead> readRecord(files::SysIo& io, const std::string& path,
                                     const nds::GameEdition& edition, int position) {
    files::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadOnly);
    if (!file.ok())
        return file.error();
    auto located = locate(file.value(), edition, position);
    if (!located.ok())
        return located.error();
    files::Result<files::Bytes> bytes = file.value().read(located.value().second, kRecordSize);
    if (!bytes.ok())
        return bytes.error();
    if (files::Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return RecordRead{std::move(located.value().first), std::move(bytes).value()};
}

files::Result<TablePlace> saveRecord(files::SysIo& io, const std::string& path,
                                     const nds::GameEdition& edition, int position,
                                     const RecordEdit& edit) {
    files::Result<files::OpenFile> file =
        files::OpenFile::open(io, path, files::SysIo::Mode::ReadWrite);
    if (!file.ok())
        return file.error();
    auto located = locate(file.value(), edition, position);
    if (!located.ok())
        return located.error();
    const files::Status updated =
        files::update(file.value(), located.value().second, kEditedSpan,
                      [&edit](files::Bytes& span) { applyEdit(span, edit); });
    if (!updated.ok())
        return updated.error();
    if (files::Status closed = file.value().close(); !closed.ok())
        return closed.error();
    return std::move(located.value().first);
}

files::Result<TableRead> readTable(files::OpenFile& file, const nds::GameEdition& edition) {
    files::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    const int entries = place.value().entries;
    files::Result<files::Bytes> bytes =
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
