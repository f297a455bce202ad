#pragma once

#include <optional>
#include <string_view>

namespace species {

// A number as the user typed it into a stat box: plain decimal with an optional sign and
// fraction ("12.5", "-1", "255", ".5"); surrounding spaces are ignored. Anything else,
// empty text included, is no number.
[[nodiscard]] std::optional<double> parseStatNumber(std::string_view text);

// The value to store for `text`: the number rounded half to even (12.5 gives 12, 13.5 gives
// 14), or nothing when the text is no number or the number as typed lies outside 0 to
// `maximum` (255.5 fails).
[[nodiscard]] std::optional<int> statValue(std::string_view text, int maximum = 255);

} // namespace species
