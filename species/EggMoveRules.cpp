#include "EggMoveRules.h"

#include "EvolutionRules.h"
#include "LearnsetRules.h"
#include "Vocabulary.h"

#include "base/Text.h"

#include <algorithm>
#include <charconv>

namespace species {
namespace {

constexpr int kSpeciesWithEggMoves = 493;

bool isMarker(int word) {
    return word > kEggMarker && word <= kEggMarker + kSpeciesWithEggMoves;
}
bool isMove(int word) {
    return word >= 1 && word <= kMoveCount;
}

// The move that `text` names (any case) or numbers.
std::optional<int> moveIn(std::string_view text) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size())
        return number;
    // One move of a learnset is a level and the move: the same names.
    const base::Result<std::vector<int>> found = parseLearnset("1 " + std::string(text));
    if (!found.ok() || found.value().size() != 1)
        return std::nullopt;
    return levelMoveOf(found.value().front()).move;
}

} // namespace

int eggListBound(nds::Game game) {
    return game == nds::Game::HeartGold || game == nds::Game::SoulSilver ? 2046 : 1910;
}

int eggSpeciesOf(int position) {
    if (position >= 0 && position < kSpeciesWithEggMoves)
        return position + 1;
    if (position >= 495 && position <= 497)
        return 386; // Deoxys
    if (position == 498 || position == 499)
        return 413; // Wormadam
    if (position == 500)
        return 487; // Giratina
    if (position == 501)
        return 492; // Shaymin
    if (position >= 502 && position <= 506)
        return 479; // Rotom
    return 0;
}

bool editsEggMoves(int position) {
    return position >= 0 && position < kSpeciesWithEggMoves;
}

std::vector<std::size_t> eggListStarts(std::span<const std::uint16_t> words, int bound) {
    std::vector<std::size_t> starts;
    for (std::size_t start = 0; start < words.size(); ++start) {
        if (!isMarker(words[start]))
            continue;
        if (start > 0 && (isMarker(words[start - 1]) || isMove(words[start - 1])))
            continue; // inside a run that began before
        int species = 0;
        bool list = false;
        const std::size_t end = std::min(words.size(), start + static_cast<std::size_t>(bound));
        for (std::size_t at = start; at < end; ++at) {
            const int word = words[at];
            if (word == kEggListEnd) {
                list = true;
                break;
            }
            if (isMarker(word)) {
                if (word - kEggMarker <= species)
                    break; // not in ascending order
                species = word - kEggMarker;
            } else if (!isMove(word)) {
                break;
            }
        }
        if (list)
            starts.push_back(start);
    }
    return starts;
}

EggMoves readEggList(std::span<const std::uint16_t> words) {
    EggMoves moves;
    int species = 0;
    for (const std::uint16_t word : words) {
        if (word == kEggListEnd)
            break;
        if (isMarker(word)) {
            species = word - kEggMarker;
            moves[species];
        } else if (species > 0) {
            moves[species].push_back(word);
        }
    }
    return moves;
}

int eggListWords(const EggMoves& moves) {
    int count = 1; // the end mark
    for (const auto& [species, list] : moves)
        count += eggBlockWords(list);
    return count;
}

base::Result<std::vector<std::uint16_t>> writeEggList(const EggMoves& moves, int bound) {
    if (const std::optional<std::string> refused = eggListRefusal(moves, bound))
        return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "", *refused);
    std::vector<std::uint16_t> words;
    for (const auto& [species, list] : moves) {
        if (list.empty())
            continue;
        words.push_back(static_cast<std::uint16_t>(kEggMarker + species));
        for (const int move : list)
            words.push_back(static_cast<std::uint16_t>(move));
    }
    words.resize(static_cast<std::size_t>(bound), kEggListEnd);
    return words;
}

std::string eggMovesText(const std::vector<int>& moves) {
    std::string text;
    for (const int move : moves)
        text += (text.empty() ? "" : ", ") + moveName(move);
    return text;
}

base::Result<std::vector<int>> parseEggMoves(std::string_view text) {
    std::vector<int> moves;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = base::trimmed(text.substr(at, comma - at));
        at = comma + 1;
        if (item.empty() && moves.empty() && comma == text.size())
            break; // none
        const std::optional<int> move = item.empty() ? std::nullopt : moveIn(item);
        if (!move || *move < 0 || *move >= kEggMarker)
            return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                                   base::quoted(item) + " is no move, such as \"Bite\"");
        moves.push_back(*move);
    }
    return moves;
}

std::string eggMoveDifference(const std::vector<int>& before, const std::vector<int>& after) {
    std::vector<std::string> parts;
    for (const int move : itemsAdded(before, after))
        parts.push_back("+ " + moveName(move));
    for (const int move : itemsAdded(after, before))
        parts.push_back("- " + moveName(move));
    if (parts.empty())
        return before == after ? std::string() : "moves in another order";
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::optional<std::string> eggMoveRefusal(int position, const std::vector<int>& before,
                                          const std::vector<int>& after) {
    if (after == before)
        return std::nullopt;
    if (!editsEggMoves(position)) {
        const int species = eggSpeciesOf(position);
        if (species == 0)
            return "it is an Egg, which has no egg moves";
        return "it is a form, whose egg moves are those of " + vocabulary::entryName(species - 1) +
               ", edited there";
    }
    if (after.size() > static_cast<std::size_t>(kMaxEggMoves))
        return "it would have " + std::to_string(after.size()) +
               " egg moves; the game reads at most 16";
    for (const int move : itemsAdded(before, after))
        if (!isMove(move))
            return "move " + std::to_string(move) + " is not between 1 and " +
                   std::to_string(kMoveCount);
    return std::nullopt;
}

int eggBlockWords(const std::vector<int>& moves) {
    return moves.empty() ? 0 : 1 + static_cast<int>(moves.size());
}

std::optional<std::string> eggMoveAddRefusal(const std::vector<int>& moves, int move,
                                             int freeWords) {
    if (moves.size() >= static_cast<std::size_t>(kMaxEggMoves))
        return "A species has at most 16 egg moves: remove one to add another.";
    if (std::find(moves.begin(), moves.end(), move) != moves.end())
        return moveName(move) + " is one of them already.";
    std::vector<int> more = moves;
    more.push_back(move);
    const int needed = eggBlockWords(more) - eggBlockWords(moves);
    if (needed > freeWords)
        return "The game's list of egg moves has " + std::to_string(freeWords) +
               (freeWords == 1 ? " word" : " words") + " free, and this move needs " +
               std::to_string(needed) + ": remove egg moves here or from another species first.";
    return std::nullopt;
}

std::optional<std::string> eggListRefusal(const EggMoves& moves, int bound) {
    const int needed = eggListWords(moves);
    if (needed <= bound)
        return std::nullopt;
    return "the egg moves would take " + std::to_string(needed) + " words of the game's list, " +
           std::to_string(needed - bound) + " more than its " + std::to_string(bound);
}

} // namespace species
