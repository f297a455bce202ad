#pragma once

#include "FieldLayout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace species {

using RecordBytes = std::vector<std::uint8_t>;

// Stored values as unsigned numbers: 0-255 for bytes, 0-65535 for words.
using FieldValues = std::array<int, kFieldCount>;

// Values to write, field by field; a field without a value keeps the bytes in the file.
using RecordEdit = std::array<std::optional<int>, kFieldCount>;

// `record` holds at least the edited span.
[[nodiscard]] int storedValue(const RecordBytes& record, const FieldDescriptor& field);
[[nodiscard]] FieldValues decodeRecord(const RecordBytes& record);

// The stored value read as a signed 16-bit number, as the lists take it: a word from 0x8000
// up is negative, so 0xFFFF is -1, no selection.
[[nodiscard]] int asListIndex(int stored, const FieldDescriptor& field);

// Keeps the low 8 or 16 bits of `value`, low byte first: -1 becomes FF or FF FF.
void encodeField(RecordBytes& record, const FieldDescriptor& field, int value);
void applyEdit(RecordBytes& record, const RecordEdit& edit);

} // namespace species
