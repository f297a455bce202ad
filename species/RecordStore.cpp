#include "RecordStore.h"

#include "FileAccess.h"
#include "Journal.h"

#include <algorithm>
#include <limits>

namespace species {

base::Result<std::int64_t> recordOffset(std::int64_t recordBase, int position, int entries) {
    const bool inside = position >= 0 && position < entries && recordBase >= 0 &&
                        recordBase <= std::numeric_limits<std::int64_t>::max() -
                                          std::int64_t{kRecordSize} * entries;
    if (!inside)
        return base::Error::failed(
            base::Error::Kind::OutsideFile, "locate the record of", "",
            "list position " + std::to_string(position) + " has no record there", recordBase);
    return recordBase + static_cast<std::int64_t>(position) * kRecordSize;
}

namespace {

// The record of `position` in the open image, and where its table was found.
base::Result<RecordRead> recordIn(files::OpenFile& file, const nds::GameEdition& edition,
                                  int position) {
    base::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    base::Result<std::int64_t> offset =
        recordOffset(place.value().base, position, place.value().entries);
    if (!offset.ok()) {
        offset.error().path = file.path();
        return offset.error();
    }
    base::Result<files::Bytes> bytes = file.read(offset.value(), kRecordSize);
    if (!bytes.ok())
        return bytes.error();
    return RecordRead{std::move(place).value(), Record::at(bytes.value()), {}};
}

} // namespace

base::Result<RecordRead> readRecord(files::SysIo& io, const std::string& path,
                                    const nds::GameEdition& edition, int position) {
    base::Result<files::LockedFile> image =
        files::openLocked(io, path, files::Access::Read, writableRanges);
    if (!image.ok())
        return image.error();
    base::Result<RecordRead> read = recordIn(image.value().file, edition, position);
    if (!read.ok())
        return read.error();
    if (base::Status closed = image.value().file.close(); !closed.ok())
        return closed.error();
    read.value().notes = image.value().notes;
    return read;
}

namespace {

// The bytes of a record that `edit` sets fields in: [first, end), empty when it sets none.
std::pair<int, int> editedBytes(const RecordEdit& edit) {
    int first = kRecordSize;
    int end = 0;
    for (const FieldDescriptor& field : fieldLayout())
        if (edit[field.field]) {
            first = std::min(first, field.offset);
            end = std::max(end, field.offset + field.width());
        }
    return {first, end};
}

// The span to rewrite for the neighbouring entries `edits` (by position; one entry may have
// several edits): from the first byte any edit sets to the last.
base::Result<files::Rewrite> rewriteOf(files::OpenFile& file, const TablePlace& place,
                                       std::span<const EntryEdit> edits) {
    const int first = edits.front().position;
    const int count = edits.back().position - first + 1;
    base::Result<std::int64_t> offset =
        recordOffset(place.base, edits.back().position, place.entries);
    if (offset.ok())
        offset = recordOffset(place.base, first, place.entries);
    if (!offset.ok()) {
        offset.error().path = file.path();
        return offset.error();
    }
    base::Result<files::Bytes> read = file.read(offset.value(), std::int64_t{kRecordSize} * count);
    if (!read.ok())
        return read.error();
    files::Bytes after = read.value();
    std::ptrdiff_t from = std::ptrdiff_t{kRecordSize} * count;
    std::ptrdiff_t to = 0;
    for (const EntryEdit& entry : edits) {
        const std::size_t at = static_cast<std::size_t>(entry.position - first) * kRecordSize;
        Record record = Record::at(after, at);
        record.apply(entry.edit);
        std::copy(record.bytes().begin(), record.bytes().end(), after.begin() + std::ptrdiff_t(at));
        const auto [editFirst, editEnd] = editedBytes(entry.edit);
        from = std::min(from, static_cast<std::ptrdiff_t>(at) + editFirst);
        to = std::max(to, static_cast<std::ptrdiff_t>(at) + editEnd);
    }
    return files::Rewrite{offset.value() + from,
                          files::Bytes(read.value().begin() + from, read.value().begin() + to),
                          files::Bytes(after.begin() + from, after.begin() + to)};
}

} // namespace

base::Status writeEntries(files::OpenFile& file, const TablePlace& place,
                          std::span<const EntryEdit> edits, const std::string& label) {
    // Entries whose edits set no field have nothing to write.
    std::vector<EntryEdit> sorted;
    for (const EntryEdit& entry : edits)
        if (editedBytes(entry.edit).second > 0)
            sorted.push_back(entry);
    std::stable_sort(sorted.begin(), sorted.end(), [](const EntryEdit& a, const EntryEdit& b) {
        return a.position < b.position;
    });
    std::vector<files::Rewrite> spans;
    for (std::size_t first = 0; first < sorted.size();) {
        std::size_t last = first;
        while (last + 1 < sorted.size() && sorted[last + 1].position <= sorted[last].position + 1)
            ++last;
        base::Result<files::Rewrite> span =
            rewriteOf(file, place, std::span(sorted).subspan(first, last - first + 1));
        if (!span.ok())
            return span.error();
        spans.push_back(std::move(span).value());
        first = last + 1;
    }
    return files::rewriteWithJournal(file, spans, label);
}

base::Result<RecordSave> saveRecord(files::SysIo& io, const std::string& path,
                                    const nds::GameEdition& edition, int position,
                                    const RecordEdit& edit, const std::optional<Record>& expected,
                                    const std::string& label) {
    base::Result<files::LockedFile> image =
        files::openLocked(io, path, files::Access::Write, writableRanges);
    if (!image.ok())
        return image.error();
    files::OpenFile& file = image.value().file;
    base::Result<RecordRead> read = recordIn(file, edition, position);
    if (!read.ok())
        return read.error();
    RecordSave save{
        false, std::move(read.value().place), read.value().record, {}, image.value().notes};
    save.after = save.before;
    if (expected && *expected != save.before) {
        save.changedOnDisk = true;
        return save;
    }
    save.after.apply(edit);
    const EntryEdit entry{position, edit};
    if (base::Status written = writeEntries(file, save.place, std::span(&entry, 1), label);
        !written.ok())
        return written.error();
    if (base::Status closed = file.close(); !closed.ok())
        return closed.error();
    return save;
}

RecordEdit wholeRecord(const Record& record) {
    RecordEdit edit;
    for (const FieldDescriptor& field : fieldLayout())
        edit[field.field] = record.get(field.field);
    return edit;
}

base::Result<TableRead> readTable(files::OpenFile& file, const nds::GameEdition& edition) {
    base::Result<TablePlace> place = findTable(file, edition);
    if (!place.ok())
        return place.error();
    const int entries = place.value().entries;
    base::Result<files::Bytes> bytes =
        file.read(place.value().base, std::int64_t{kRecordSize} * entries);
    if (!bytes.ok())
        return bytes.error();
    TableRead table{std::move(place).value(), {}};
    table.entries.reserve(static_cast<std::size_t>(entries));
    for (int position = 0; position < entries; ++position)
        table.entries.push_back(
            Record::at(bytes.value(), static_cast<std::size_t>(position) * kRecordSize));
    return table;
}

} // namespace species
