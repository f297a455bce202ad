#pragma once

#include "FieldLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace species {

// Values to write, field by field; a field without a value keeps the bytes it has.
using RecordEdit = ByField<std::optional<int>>;

// One entry's record: its 44 bytes, read and written field by field through the field table.
// Bytes that no field covers are kept exactly as they are.
class Record {
public:
    static constexpr int kSize = kRecordSize;

    Record() = default;
    explicit Record(std::span<const std::uint8_t, kSize> bytes);
    // The record that starts at `at` in `bytes`, which hold kSize bytes from there.
    [[nodiscard]] static Record at(std::span<const std::uint8_t> bytes, std::size_t at = 0);

    // The stored value, unsigned: 0 to 255 for a byte, 0 to 65535 for a word, 0 to 3 for an EV
    // yield, 0 or 1 for a flag.
    [[nodiscard]] int get(Field field) const;
    // Stores the low bits of `value` that the field holds (-1 becomes FF or FF FF), and keeps
    // every other bit of its bytes.
    void set(Field field, int value);
    void apply(const RecordEdit& edit);

    [[nodiscard]] const std::array<std::uint8_t, kSize>& bytes() const { return m_bytes; }
    bool operator==(const Record&) const = default;

private:
    std::array<std::uint8_t, kSize> m_bytes{};
};

} // namespace species
