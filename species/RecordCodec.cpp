#include "RecordCodec.h"

#include <cstddef>

namespace species {

int storedValue(const RecordBytes& record, const FieldDescriptor& field) {
    const auto at = static_cast<std::size_t>(field.offset);
    if (field.width == 1)
        return record.at(at);
    return record.at(at) | (record.at(at + 1) << 8);
}

FieldValues decodeRecord(const RecordBytes& record) {
    FieldValues values{};
    for (const FieldDescriptor& field : fieldLayout())
        values[static_cast<std::size_t>(field.field)] = storedValue(record, field);
    return values;
}

int asListIndex(int stored, const FieldDescriptor& field) {
    if (field.width == 2 && stored >= 0x8000)
        return stored - 0x10000;
    return stored;
}

void encodeField(RecordBytes& record, const FieldDescriptor& field, int value) {
    const auto at = static_cast<std::size_t>(field.offset);
    const auto bits = static_cast<unsigned>(value);
    record.at(at) = static_cast<std::uint8_t>(bits & 0xFFu);
    if (field.width == 2)
        record.at(at + 1) = static_cast<std::uint8_t>((bits >> 8) & 0xFFu);
}

void applyEdit(RecordBytes& record, const RecordEdit& edit) {
    for (const FieldDescriptor& field : fieldLayout())
        if (const std::optional<int>& value = edit[static_cast<std::size_t>(field.field)])
            encodeField(record, field, *value);
}

} // namespace species
