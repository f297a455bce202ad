#pragma once

#include "FieldLayout.h"
#include "Value.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace species {

// One entry's record of one kind: its bytes as the image holds them, read and written field by
// field through the field table. Bytes that no field covers are kept exactly as they are. The
// base-stat and evolution records are 44 bytes each; records of other kinds may differ in
// size, and their fields say how their bytes hold a list.
class Record {
public:
    static constexpr int kSize = kRecordSize;

    // A record of 44 zero bytes.
    Record() : m_bytes(kSize, 0) {}
    explicit Record(std::span<const std::uint8_t, kSize> bytes)
        : m_bytes(bytes.begin(), bytes.end()) {}
    // A record of any size: what a member of an archive holds.
    explicit Record(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    // The 44-byte record that starts at `at` in `bytes`, which hold as many from there.
    [[nodiscard]] static Record at(std::span<const std::uint8_t> bytes, std::size_t at = 0);

    // The stored value of a field of bits, unsigned: 0 to 255 for a byte, 0 to 65535 for a
    // word, 0 to 3 for an EV yield, 0 or 1 for a flag.
    [[nodiscard]] int get(Field field) const;
    // Stores the low bits of `value` that the field holds (-1 becomes FF or FF FF), and keeps
    // every other bit of its bytes.
    void set(Field field, int value);

    // What a field holds, a number or a list.
    [[nodiscard]] Value value(Field field) const;
    void set(Field field, const Value& value);

    [[nodiscard]] std::span<const std::uint8_t> bytes() const { return m_bytes; }
    [[nodiscard]] std::size_t size() const { return m_bytes.size(); }
    bool operator==(const Record&) const = default;

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace species
