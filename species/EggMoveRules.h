#pragma once

#include "base/Error.h"
#include "nds/GameEdition.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the games' one list of egg moves holds, and the rules for it, in one place for the
// window and statwright-cli. The list is 16-bit words: for each species that has egg moves, a
// marker (20000 + its species number) and then its moves; the whole list ends with 0xFFFF,
// and the game scans it only up to a fixed number of words.
namespace species {

inline constexpr int kMaxEggMoves = 16;
inline constexpr int kEggMarker = 20000;
inline constexpr int kEggListEnd = 0xFFFF;

// The words of the game's list, its end mark included: 1910 in Diamond, Pearl and Platinum,
// 2046 in HeartGold and SoulSilver.
[[nodiscard]] int eggListBound(nds::Game game);

// The species whose egg moves the entry at `position` has: its species number (1 to 493), a
// form's that of its species, and 0 for the Egg entries.
[[nodiscard]] int eggSpeciesOf(int position);
// Whether the entry's egg moves are edited there: the species themselves, not the forms.
[[nodiscard]] bool editsEggMoves(int position);

// The egg moves of every species that has any, by species number.
using EggMoves = std::map<int, std::vector<int>>;

// Where the list begins in `words`: every start of a run that the game could read as its
// list (a marker not after a marker or a move, markers in ascending species order with moves
// 1 to 467 between them, and the end mark within `bound` words). A list the game reads is the
// only one.
[[nodiscard]] std::vector<std::size_t> eggListStarts(std::span<const std::uint16_t> words,
                                                     int bound);
// The egg moves of the list that begins at `words`' start.
[[nodiscard]] EggMoves readEggList(std::span<const std::uint16_t> words);
// The words that `moves` take in the list, its end mark included.
[[nodiscard]] int eggListWords(const EggMoves& moves);
// The list of `moves` as the game reads it, blocks in ascending species order, filled with
// 0xFFFF up to `bound` words; an error says how many words are missing where it does not fit.
[[nodiscard]] base::Result<std::vector<std::uint16_t>> writeEggList(const EggMoves& moves,
                                                                    int bound);

// The moves in words, as patches and logs write them and parseEggMoves() reads them back:
// "Bite, Extreme Speed" (a number where no move has the number).
[[nodiscard]] std::string eggMovesText(const std::vector<int>& moves);
[[nodiscard]] base::Result<std::vector<int>> parseEggMoves(std::string_view text);
// "+ Extreme Speed, - Bite"; "moves in another order" when only the order changed.
[[nodiscard]] std::string eggMoveDifference(const std::vector<int>& before,
                                            const std::vector<int>& after);

// Why the egg moves of the entry at `position` may not become `after` where the image holds
// `before`; nothing when they may, or stay. Forms and the Egg entries are not edited; at most
// 16 moves, each 1 to 467 but those the image holds already.
[[nodiscard]] std::optional<std::string>
eggMoveRefusal(int position, const std::vector<int>& before, const std::vector<int>& after);
// The words a species' block of `moves` takes in the list: its marker and its moves; none
// when it has no moves.
[[nodiscard]] int eggBlockWords(const std::vector<int>& moves);
// Why `move` may not be added to the egg moves `moves` of a species where the game's list has
// `freeWords` words free; nothing when it may.
[[nodiscard]] std::optional<std::string> eggMoveAddRefusal(const std::vector<int>& moves, int move,
                                                           int freeWords);

// Why the list of `moves` does not fit the game's `bound` words: how many are missing.
[[nodiscard]] std::optional<std::string> eggListRefusal(const EggMoves& moves, int bound);

} // namespace species
