#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nds {

// Little-endian numbers inside a byte buffer; callers check that `at` leaves room for them.
[[nodiscard]] inline std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

[[nodiscard]] inline std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(le16(bytes, at)) |
           (static_cast<std::uint32_t>(le16(bytes, at + 2)) << 16);
}

} // namespace nds
