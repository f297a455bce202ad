#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nds {

enum class Game { Diamond, Pearl, Platinum, HeartGold, SoulSilver };

// "Diamond", "HeartGold": the game's short name, the same in every region.
[[nodiscard]] std::string_view gameName(Game game);

// One game code and what the program knows about its image.
struct GameEdition {
    std::string_view code;     // the four characters at file offset 12
    std::string_view title;    // as shown in the window, UTF-8
    std::string_view language; // as shown in the window, UTF-8
    // File offset of the first base-stat record in an image without a file system; 0 for an
    // edition whose table only its image's file system can place.
    std::int64_t recordBase;
    Game game;

    [[nodiscard]] constexpr bool hasFixedBase() const { return recordBase > 0; }
};

// The fifteen editions with a fixed record base.
[[nodiscard]] std::span<const GameEdition> fixedBaseEditions();
// Every edition: the fifteen, then every other region of the five games (and the English
// "P" codes of Diamond, Pearl and Platinum), which only their images' file systems place.
[[nodiscard]] std::span<const GameEdition> allEditions();

// The edition whose code equals `code` exactly (case-sensitive), or nullptr.
[[nodiscard]] const GameEdition* findEdition(std::string_view code);

} // namespace nds
