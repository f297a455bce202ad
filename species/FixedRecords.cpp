#include "FixedRecords.h"

#include "files/FileAccess.h"

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

// The offset of the record at `position`, an error naming the file when there is none.
base::Result<std::int64_t> offsetIn(const files::OpenFile& file, const TablePlace& place,
                                    int position) {
    base::Result<std::int64_t> offset = recordOffset(place.base, position, place.entries);
    if (!offset.ok())
        offset.error().path = file.path();
    return offset;
}

// The bytes of a record that the changes of one entry set: [first, end), empty when none.
std::pair<int, int> changedBytes(std::span<const Change> changes) {
    int first = kRecordSize;
    int end = 0;
    for (const Change& change : changes) {
        const FieldDescriptor& field = descriptor(change.field);
        first = std::min(first, field.offset);
        end = std::max(end, field.offset + field.width());
    }
    return {first, end};
}

// The span to rewrite for the neighbouring entries that `changes` change (by position): from
// the first byte any change sets to the last.
base::Result<files::Rewrite> rewriteOf(files::OpenFile& file, const TablePlace& place,
                                       std::span<const Change> changes) {
    const int first = changes.front().position;
    const int count = changes.back().position - first + 1;
    base::Result<std::int64_t> offset = offsetIn(file, place, changes.back().position);
    if (offset.ok())
        offset = offsetIn(file, place, first);
    if (!offset.ok())
        return offset.error();
    base::Result<files::Bytes> read = file.read(offset.value(), std::int64_t{kRecordSize} * count);
    if (!read.ok())
        return read.error();
    files::Bytes after = read.value();
    std::ptrdiff_t from = std::ptrdiff_t{kRecordSize} * count;
    std::ptrdiff_t to = 0;
    for (std::size_t i = 0; i < changes.size();) {
        std::size_t j = i;
        while (j < changes.size() && changes[j].position == changes[i].position)
            ++j;
        const std::size_t at = static_cast<std::size_t>(changes[i].position - first) * kRecordSize;
        Record record = Record::at(after, at);
        for (std::size_t k = i; k < j; ++k)
            record.set(changes[k].field, changes[k].after);
        std::copy(record.bytes().begin(), record.bytes().end(), after.begin() + std::ptrdiff_t(at));
        const auto [editFirst, editEnd] = changedBytes(changes.subspan(i, j - i));
        from = std::min(from, static_cast<std::ptrdiff_t>(at) + editFirst);
        to = std::max(to, static_cast<std::ptrdiff_t>(at) + editEnd);
        i = j;
    }
    return files::Rewrite{offset.value() + from,
                          files::Bytes(read.value().begin() + from, read.value().begin() + to),
                          files::Bytes(after.begin() + from, after.begin() + to)};
}

} // namespace

base::Result<Record> recordAt(files::OpenFile& file, const TablePlace& place, int position) {
    base::Result<std::int64_t> offset = offsetIn(file, place, position);
    if (!offset.ok())
        return offset.error();
    base::Result<files::Bytes> bytes = file.read(offset.value(), kRecordSize);
    if (!bytes.ok())
        return bytes.error();
    return Record::at(bytes.value());
}

base::Result<std::vector<Record>> readRecords(files::OpenFile& file, const TablePlace& place) {
    base::Result<files::Bytes> bytes =
        file.read(place.base, std::int64_t{kRecordSize} * place.entries);
    if (!bytes.ok())
        return bytes.error();
    std::vector<Record> entries;
    entries.reserve(static_cast<std::size_t>(place.entries));
    for (int position = 0; position < place.entries; ++position)
        entries.push_back(
            Record::at(bytes.value(), static_cast<std::size_t>(position) * kRecordSize));
    return entries;
}

base::Result<std::vector<files::Rewrite>>
recordRewrites(files::OpenFile& file, const TablePlace& place, std::vector<Change> changes) {
    sortChanges(changes);
    std::vector<files::Rewrite> spans;
    for (std::size_t first = 0; first < changes.size();) {
        std::size_t last = first;
        while (last + 1 < changes.size() &&
               changes[last + 1].position <= changes[last].position + 1)
            ++last;
        base::Result<files::Rewrite> span =
            rewriteOf(file, place, std::span(changes).subspan(first, last - first + 1));
        if (!span.ok())
            return span.error();
        spans.push_back(std::move(span).value());
        first = last + 1;
    }
    return spans;
}

} // namespace species
