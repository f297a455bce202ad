#pragma once

#include "base/Error.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a learnset holds, in words, and the rules for its values, in one place for the window
// and statwright-cli. A learnset is a list of 16-bit words, each a move (bits 0 to 8) and the
// level it is learnt at (bits 9 to 15); the game reads at most 20 of them.
namespace species {

inline constexpr int kMaxLevelMoves = 20;
// The most bytes the game copies of a member: 20 moves and the end mark.
inline constexpr int kLearnsetMemberLimit = 44;
inline constexpr int kLearnLevelMaximum = 100;

struct LevelMove {
    int level;
    int move;
    bool operator==(const LevelMove&) const = default;
};
[[nodiscard]] constexpr LevelMove levelMoveOf(int word) {
    return {(word >> 9) & 0x7F, word & 0x1FF};
}
[[nodiscard]] constexpr int wordOf(LevelMove entry) {
    return (entry.level << 9) | entry.move;
}

// Whether the entry at `position` has no moves of its own that the game reads: the Egg entries.
[[nodiscard]] bool hasNoLearnset(int position);

// The move's name, or its number where no move has it: "Tackle", "500".
[[nodiscard]] std::string moveName(int move);

// The list in words, as patches and logs write it, read back exactly by parseLearnset():
// "1 Tackle, 4 Growl, 7 500" (the level, then the move's name, or its number).
[[nodiscard]] std::string learnsetText(const std::vector<int>& words);
// The list that `text` writes, as learnsetText() writes it; names in any case. The error's
// reason says which item is wrong.
[[nodiscard]] base::Result<std::vector<int>> parseLearnset(std::string_view text);

// The list with `entry` put after the moves of its level, as the window adds one.
[[nodiscard]] std::vector<int> withMove(std::vector<int> words, LevelMove entry);
// The list in ascending order of level, moves of one level in the order they had.
[[nodiscard]] std::vector<int> inLevelOrder(std::vector<int> words);
// The items of `after` that `before` does not hold (each held item counts once): what a list's
// edit brings in, which the rules judge, while what the image holds already is kept.
[[nodiscard]] std::vector<int> itemsAdded(std::vector<int> before, const std::vector<int>& after);

// Why the learnset of the entry at `position` may not become `after` where the image holds
// `before`; nothing when it may, or when it stays as it is. At most 20 moves, each at a level
// from 1 to 100 and a move from 1 to 467, but those the image holds already, which are kept.
[[nodiscard]] std::optional<std::string>
learnsetRefusal(int position, const std::vector<int>& before, const std::vector<int>& after);

// What the game would make of a list it reads, in words, for check: moves out of level order,
// levels or moves out of range, more than 20 moves.
[[nodiscard]] std::vector<std::string> learnsetProblems(const std::vector<int>& words);

// How `after` differs from `before`, for people to read: "+ Dragon Dance (50), - Bite (12),
// Earthquake 45 -> 40"; "moves in another order" when only the order changed.
[[nodiscard]] std::string learnsetDifference(const std::vector<int>& before,
                                             const std::vector<int>& after);

} // namespace species
