#include "LearnsetRules.h"

#include "EvolutionRules.h"
#include "Vocabulary.h"

#include "base/Text.h"

#include <algorithm>
#include <charconv>

namespace species {
namespace {

constexpr int kEggPosition = 493; // and the Bad Egg's after it

// A whole number that `text` is, and nothing else.
std::optional<int> numberIn(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The move that `text` names or numbers. Names are matched in any case and without their
// spaces and hyphens, since the games' lists squeeze some ("ExtremeSpeed", "AncientPower")
// that people write in full.
std::optional<int> moveNamed(std::string_view text) {
    if (const std::optional<int> number = numberIn(text))
        return *number;
    const auto lower = [](std::string_view name) {
        std::string folded;
        for (const char c : name)
            if (c >= 'A' && c <= 'Z')
                folded += static_cast<char>(c - 'A' + 'a');
            else if (c != ' ' && c != '-')
                folded += c;
        return folded;
    };
    const std::string wanted = lower(text);
    for (int move = 1; move <= kMoveCount; ++move)
        if (lower(vocabulary::moves()[static_cast<std::size_t>(move)]) == wanted)
            return move;
    return std::nullopt;
}

} // namespace

bool hasNoLearnset(int position) {
    return position == kEggPosition || position == kEggPosition + 1;
}

std::string moveName(int move) {
    if (move >= 1 && move <= kMoveCount)
        return std::string(vocabulary::moves()[static_cast<std::size_t>(move)]);
    return std::to_string(move);
}

std::string learnsetText(const std::vector<int>& words) {
    std::string text;
    for (const int word : words) {
        const LevelMove entry = levelMoveOf(word);
        text +=
            (text.empty() ? "" : ", ") + std::to_string(entry.level) + " " + moveName(entry.move);
    }
    return text;
}

base::Result<std::vector<int>> parseLearnset(std::string_view text) {
    const auto wrong = [](const std::string& reason) {
        return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "", reason);
    };
    std::vector<int> words;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = base::trimmed(text.substr(at, comma - at));
        at = comma + 1;
        if (item.empty() && words.empty() && comma == text.size())
            break; // an empty list
        const std::size_t space = item.find(' ');
        const std::optional<int> level =
            space == std::string_view::npos ? std::nullopt : numberIn(item.substr(0, space));
        const std::optional<int> move =
            level ? moveNamed(base::trimmed(item.substr(space + 1))) : std::nullopt;
        if (!level || !move || *level < 0 || *level > 127 || *move < 0 || *move > 511)
            return wrong(base::quoted(item) + " is no level and move, such as \"12 Bite\"");
        words.push_back(wordOf({*level, *move}));
    }
    return words;
}

std::vector<int> withMove(std::vector<int> words, LevelMove entry) {
    const auto after = std::find_if(words.begin(), words.end(), [&](int word) {
        return levelMoveOf(word).level > entry.level;
    });
    words.insert(after, wordOf(entry));
    return words;
}

std::vector<int> inLevelOrder(std::vector<int> words) {
    std::stable_sort(words.begin(), words.end(),
                     [](int a, int b) { return levelMoveOf(a).level < levelMoveOf(b).level; });
    return words;
}

std::vector<int> itemsAdded(std::vector<int> before, const std::vector<int>& after) {
    std::vector<int> added;
    for (const int item : after)
        if (const auto held = std::find(before.begin(), before.end(), item); held != before.end())
            before.erase(held);
        else
            added.push_back(item);
    return added;
}

std::optional<std::string> learnsetRefusal(int position, const std::vector<int>& before,
                                           const std::vector<int>& after) {
    if (after == before)
        return std::nullopt;
    if (hasNoLearnset(position))
        return "it is an Egg, for which the game reads no level-up moves";
    if (after.size() > static_cast<std::size_t>(kMaxLevelMoves))
        return "it would have " + std::to_string(after.size()) +
               " level-up moves; the game reads at most 20";
    // Each entry new to the list must be one the game can teach.
    for (const int word : itemsAdded(before, after)) {
        const LevelMove entry = levelMoveOf(word);
        if (entry.level < 1 || entry.level > kLearnLevelMaximum)
            return "level " + std::to_string(entry.level) + " of " + moveName(entry.move) +
                   " is not between 1 and 100";
        if (entry.move < 1 || entry.move > kMoveCount)
            return "move " + std::to_string(entry.move) + " is not between 1 and " +
                   std::to_string(kMoveCount);
    }
    return std::nullopt;
}

std::vector<std::string> learnsetProblems(const std::vector<int>& words) {
    std::vector<std::string> problems;
    if (words.size() > static_cast<std::size_t>(kMaxLevelMoves))
        problems.push_back(std::to_string(words.size()) +
                           " moves, more than the 20 the game reads");
    for (std::size_t i = 0; i < words.size(); ++i) {
        const LevelMove entry = levelMoveOf(words[i]);
        if (entry.level < 1 || entry.level > kLearnLevelMaximum)
            problems.push_back("level " + std::to_string(entry.level) + " of " +
                               moveName(entry.move) + " never comes");
        if (entry.move < 1 || entry.move > kMoveCount)
            problems.push_back("move " + std::to_string(entry.move) + " is no move");
        if (i > 0 && entry.level < levelMoveOf(words[i - 1]).level)
            problems.push_back(moveName(entry.move) + " (" + std::to_string(entry.level) +
                               ") comes after " + moveName(levelMoveOf(words[i - 1]).move) + " (" +
                               std::to_string(levelMoveOf(words[i - 1]).level) +
                               "): out of level order");
    }
    return problems;
}

std::string learnsetDifference(const std::vector<int>& before, const std::vector<int>& after) {
    // Each move matched with itself: gone, come, or at another level.
    std::vector<LevelMove> gone, come;
    for (const int word : before)
        gone.push_back(levelMoveOf(word));
    for (const int word : after) {
        const LevelMove entry = levelMoveOf(word);
        const auto same = std::find(gone.begin(), gone.end(), entry);
        if (same != gone.end())
            gone.erase(same);
        else
            come.push_back(entry);
    }
    // Added first, then removed, then at another level.
    std::vector<std::string> parts, moved;
    for (const LevelMove& entry : come) {
        const auto old = std::find_if(gone.begin(), gone.end(),
                                      [&](const LevelMove& was) { return was.move == entry.move; });
        if (old != gone.end()) {
            moved.push_back(moveName(entry.move) + " " + std::to_string(old->level) + " -> " +
                            std::to_string(entry.level));
            gone.erase(old);
        } else {
            parts.push_back("+ " + moveName(entry.move) + " (" + std::to_string(entry.level) + ")");
        }
    }
    for (const LevelMove& entry : gone)
        parts.push_back("- " + moveName(entry.move) + " (" + std::to_string(entry.level) + ")");
    parts.insert(parts.end(), moved.begin(), moved.end());
    if (parts.empty())
        return before == after ? std::string() : "moves in another order";
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace species
