#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rom {

// One supported game code and what the program knows about its image.
struct GameEdition {
    std::string_view code;     // the four characters at file offset 12
    std::string_view title;    // as shown in the window, UTF-8
    std::string_view language; // as shown in the window, UTF-8
    std::int64_t recordBase;   // file offset of the first base-stat record

    // "ADAE - Statwright"
    [[nodiscard]] std::string caption() const;
};

[[nodiscard]] std::span<const GameEdition> gameEditions();

// The row whose code equals `code` exactly (case-sensitive), or nullptr.
[[nodiscard]] const GameEdition* findEdition(std::string_view code);

} // namespace rom
