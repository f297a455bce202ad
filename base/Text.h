#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// Text from a file (a table cell, a path inside an image) made safe to show in a message:
// printable ASCII and valid UTF-8 characters stay as they are; control characters (C0, DEL,
// C1) and bytes that are no valid UTF-8 become \xNN, as do '"' and '\' when `escapeQuotes`
// is set (for text shown between double quotes), and the bidirectional controls, which would
// reorder what the user reads, and the line and paragraph separators, which would break a
// line in a window, become \uNNNN. Printable text stays as it is, so text made
// printable once is not changed by a second pass. Text longer than `limit` characters is cut
// there and ends in "...".
[[nodiscard]] std::string printable(std::string_view text, std::size_t limit = std::string::npos,
                                    bool escapeQuotes = false);

// A file offset as people write it: "0x1C15A08".
[[nodiscard]] std::string hexNumber(std::int64_t value);

// `text` without the spaces and tabs at either end.
[[nodiscard]] std::string_view trimmed(std::string_view text);

// `text` without the UTF-8 byte-order mark that some editors and spreadsheets put first.
[[nodiscard]] std::string_view withoutByteOrderMark(std::string_view text);

// How many letters to insert, remove or change to turn `a` into `b`: how far a misspelt name
// is from one that exists.
[[nodiscard]] std::size_t editDistance(std::string_view a, std::string_view b);

// `text` between double quotes, made printable and cut after a few dozen characters: for a
// value quoted back to the user.
[[nodiscard]] std::string quoted(std::string_view text);

} // namespace base
