#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Numbers stored least significant byte first, as the DS and this program's journal keep them.
namespace base {

// The number that `bytes` hold, all of them (at most eight).
[[nodiscard]] constexpr std::uint64_t readLittleEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

// The 16-bit and the 32-bit number from `at` on; the caller checks that `bytes` hold them.
[[nodiscard]] constexpr std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(readLittleEndian(bytes.subspan(at, 2)));
}
[[nodiscard]] constexpr std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.subspan(at, 4)));
}

// Stores the low bytes of `value` in `bytes`, as many as they are.
constexpr void writeLittleEndian(std::span<std::uint8_t> bytes, std::uint64_t value) {
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(value & 0xFFu);
        value >>= 8;
    }
}

// Stores `value` as a 16-bit and a 32-bit number from `at` on.
constexpr void write16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    writeLittleEndian(bytes.subspan(at, 2), value);
}
constexpr void write32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    writeLittleEndian(bytes.subspan(at, 4), value);
}

} // namespace base
