#pragma once

#include "ErrorReporter.h"
#include "OpenFile.h"
#include "SysIo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Bytes carried as hex text: one pair of upper-case digits per byte, in file order.
namespace HexFunctions {

// `count` bytes from the 0-based `offset` on, as hex text. Every failure is reported to
// `reporter` and gives empty text, never the pairs read before it.
[[nodiscard]] std::string ReadHexBytes(const std::string& path, std::int64_t offset,
                                       std::int64_t count, rom::ErrorReporter& reporter,
                                       rom::SysIo& io = rom::systemIo());

// Writes the pairs of `hexText` from `offset` on (a "0" is put in front of odd-length text).
// A text with a pair that is not hexadecimal is reported and nothing of it is written.
// Returns whether every byte reached the file; a failure has already been reported.
bool WriteHexBytes(const std::string& path, std::int64_t offset, std::string_view hexText,
                   rom::ErrorReporter& reporter, rom::SysIo& io = rom::systemIo());

// The same digit pairs in reverse order: "01D1" gives "D101", "ABC" gives "BC0A".
[[nodiscard]] std::string SwapHexBytes(std::string_view hexText);

[[nodiscard]] std::string toHexText(const rom::Bytes& bytes);
// A file offset as people write it: "0x1C15A08".
[[nodiscard]] std::string hexNumber(std::int64_t value);
// The bytes of `hexText` (odd length made even), or nothing if a pair is not hexadecimal.
[[nodiscard]] std::optional<rom::Bytes> fromHexText(std::string_view hexText);

} // namespace HexFunctions
