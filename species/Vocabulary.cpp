#include "Vocabulary.h"

#include "EntryRules.h"
#include "FieldLayout.h"

#include "base/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <map>
#include <vector>

namespace vocabulary {
namespace {

// The lists are data, one file each, beside this one.
constexpr std::string_view kTypes[] = {
#include "lists/types.inc"
};
constexpr std::string_view kEggGroups[] = {
#include "lists/egg_groups.inc"
};
constexpr std::string_view kColours[] = {
#include "lists/colours.inc"
};
constexpr std::string_view kGrowthGroups[] = {
#include "lists/growth_groups.inc"
};
constexpr std::string_view kAbilities[] = {
#include "lists/abilities.inc"
};
constexpr std::string_view kItems[] = {
#include "lists/items.inc"
};
constexpr std::string_view kPlatinumItems[] = {
#include "lists/items_platinum.inc"
};
constexpr std::string_view kHeartGoldItems[] = {
#include "lists/items_heartgold.inc"
};
constexpr std::string_view kTmHmMoves[] = {
#include "lists/tm_hm_moves.inc"
};
constexpr std::string_view kMoves[] = {
#include "lists/moves.inc"
};
constexpr std::string_view kEntryNames[] = {
#include "lists/entry_names.inc"
};

static_assert(std::size(kTypes) == 18 && std::size(kEggGroups) == 16 && std::size(kColours) == 11 &&
              std::size(kGrowthGroups) == 6 && std::size(kAbilities) == 124);
static_assert(std::size(kItems) == 465 && std::size(kPlatinumItems) == 3 &&
              std::size(kHeartGoldItems) == 69);
static_assert(std::size(kTmHmMoves) == species::kTmHmCount);
static_assert(std::size(kEntryNames) == species::kAllEntries);
static_assert(std::size(kMoves) == 468);

// Platinum, HeartGold and SoulSilver gave position 112 an item of its own.
constexpr std::size_t kGriseousOrbAt = 112;
constexpr std::string_view kGriseousOrb = "Griseous Orb";
constexpr int kHm05 = 96;

// The value as the shortest decimal of at most 15 significant digits, never with an exponent
// (the percentages lie between 0 and 100, so general notation never picks one).
std::string fifteenDigits(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 15);
    return std::string(buffer.data(), result.ptr);
}

std::string cutToFive(double value) {
    return fifteenDigits(value).substr(0, 5);
}

} // namespace

std::span<const std::string_view> types() {
    return kTypes;
}
std::span<const std::string_view> eggGroups() {
    return kEggGroups;
}
std::span<const std::string_view> colours() {
    return kColours;
}
std::span<const std::string_view> growthGroups() {
    return kGrowthGroups;
}
std::span<const std::string_view> abilities() {
    return kAbilities;
}
std::span<const std::string_view> items(nds::Game game) {
    static const std::vector<std::string_view> platinum = [] {
        std::vector<std::string_view> list(std::begin(kItems), std::end(kItems));
        list[kGriseousOrbAt] = kGriseousOrb;
        list.insert(list.end(), std::begin(kPlatinumItems), std::end(kPlatinumItems));
        return list;
    }();
    static const std::vector<std::string_view> heartGold = [] {
        std::vector<std::string_view> list = platinum;
        list.insert(list.end(), std::begin(kHeartGoldItems), std::end(kHeartGoldItems));
        return list;
    }();
    switch (game) {
    case nds::Game::Diamond:
    case nds::Game::Pearl:
        break;
    case nds::Game::Platinum:
        return platinum;
    case nds::Game::HeartGold:
    case nds::Game::SoulSilver:
        return heartGold;
    }
    return kItems;
}
std::span<const std::string_view> species() {
    return std::span(kEntryNames).first(species::kSpeciesCount);
}

std::span<const std::string_view> moves() {
    return kMoves;
}

std::string_view tmHmMove(int n, nds::Game game) {
    const bool johto = game == nds::Game::HeartGold || game == nds::Game::SoulSilver;
    if (n == kHm05 && johto)
        return "Whirlpool";
    return kTmHmMoves[static_cast<std::size_t>(n)];
}

std::string hatchSteps(int k) {
    return std::to_string(k * 256);
}

std::string genderRatio(int i) {
    if (i == kGenderRatioCount - 1)
        return "None";
    const int f = i * 100;
    const double female = f / 254.0;
    const double male = 100 - female;
    return cutToFive(male) + "% M " + cutToFive(female) + "% F ";
}

int size(List list, nds::Game game) {
    switch (list) {
    case List::None:
        return 0;
    case List::Types:
        return int(std::size(kTypes));
    case List::Items:
        return int(items(game).size());
    case List::GenderRatios:
        return kGenderRatioCount;
    case List::HatchSteps:
        return kHatchStepsCount;
    case List::GrowthGroups:
        return int(std::size(kGrowthGroups));
    case List::EggGroups:
        return int(std::size(kEggGroups));
    case List::Abilities:
        return int(std::size(kAbilities));
    case List::Colours:
        return int(std::size(kColours));
    }
    return 0;
}

std::optional<std::string> name(List list, int value, nds::Game game) {
    std::optional<std::string> entry = text(list, value, game);
    if (entry)
        entry = std::string(base::trimmed(*entry));
    return entry;
}

std::optional<std::string> text(List list, int value, nds::Game game) {
    if (value < 0 || value >= size(list, game))
        return std::nullopt;
    const auto at = static_cast<std::size_t>(value);
    switch (list) {
    case List::Types:
        return std::string(kTypes[at]);
    case List::Items:
        return std::string(items(game)[at]);
    case List::GenderRatios:
        return genderRatio(value);
    case List::HatchSteps:
        return hatchSteps(value);
    case List::GrowthGroups:
        return std::string(kGrowthGroups[at]);
    case List::EggGroups:
        return std::string(kEggGroups[at]);
    case List::Abilities:
        return std::string(kAbilities[at]);
    case List::Colours:
        return std::string(kColours[at]);
    case List::None:
        break;
    }
    return std::nullopt;
}

namespace {

constexpr std::string_view kTypographicApostrophe = "\u2019";

// A name as lists are searched by: without spaces at either end, letters in lower case, and a
// plain apostrophe for the lists' typographic one, which keyboards do not type.
std::string folded(std::string_view text) {
    std::string result(base::trimmed(text));
    for (std::size_t at = result.find(kTypographicApostrophe); at != std::string::npos;
         at = result.find(kTypographicApostrophe, at))
        result.replace(at, kTypographicApostrophe.size(), "'");
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

constexpr List kLists[] = {List::Types,      List::Items,        List::GenderRatios,
                           List::HatchSteps, List::GrowthGroups, List::EggGroups,
                           List::Abilities,  List::Colours};
constexpr nds::Game kGames[] = {nds::Game::Diamond, nds::Game::Pearl, nds::Game::Platinum,
                                nds::Game::HeartGold, nds::Game::SoulSilver};

// Every list of every game by folded name, made once (and safely, from any thread): a table of
// a thousand rows of names is looked up without folding a list for each of its cells.
struct FoldedList {
    std::multimap<std::string, int> entries;
    std::vector<std::string> names; // the distinct texts, trimmed, in list order
};
const FoldedList& foldedList(List list, nds::Game game) {
    static const std::map<std::pair<List, nds::Game>, FoldedList> all = [] {
        std::map<std::pair<List, nds::Game>, FoldedList> made;
        for (const List each : kLists)
            for (const nds::Game in : kGames) {
                FoldedList& folding = made[{each, in}];
                for (int k = 0; k < size(each, in); ++k) {
                    const std::string shown(base::trimmed(*text(each, k, in)));
                    folding.entries.emplace(folded(shown), k);
                    if (std::find(folding.names.begin(), folding.names.end(), shown) ==
                        folding.names.end())
                        folding.names.push_back(shown);
                }
            }
        return made;
    }();
    static const FoldedList none;
    const auto found = all.find({list, game});
    return found == all.end() ? none : found->second;
}

// What of a name is compared with the lists' for the nearest names: longer text is no
// misspelt name, and comparing all of it would cost time in proportion to its length.
constexpr std::size_t kComparedLength = 64;

} // namespace

std::vector<int> entriesNamed(List list, std::string_view name, nds::Game game) {
    const auto [from, to] = foldedList(list, game).entries.equal_range(folded(name));
    std::vector<int> found;
    for (auto entry = from; entry != to; ++entry)
        found.push_back(entry->second);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> nearestNames(List list, std::string_view name, nds::Game game,
                                      std::size_t count) {
    const std::string wanted = folded(name).substr(0, kComparedLength);
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const std::string& entry : foldedList(list, game).names)
        ranked.emplace_back(base::editDistance(wanted, folded(entry)), entry);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> nearest;
    for (std::size_t i = 0; i < ranked.size() && i < count; ++i)
        nearest.push_back(ranked[i].second);
    return nearest;
}

std::string withArticle(std::string_view noun) {
    const bool vowel =
        !noun.empty() && std::string_view("aeiou").find(noun.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + std::string(noun);
}

std::string_view entryNoun(List list) {
    switch (list) {
    case List::Types:
        return "type";
    case List::Items:
        return "item";
    case List::GenderRatios:
        return "gender ratio";
    case List::HatchSteps:
        return "number of steps";
    case List::GrowthGroups:
        return "growth group";
    case List::EggGroups:
        return "egg group";
    case List::Abilities:
        return "ability";
    case List::Colours:
        return "colour";
    case List::None:
        break;
    }
    return "value";
}

std::string entryName(int position) {
    std::string name(kEntryNames[static_cast<std::size_t>(position)]);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string entryLabel(int position) {
    const std::string name = entryName(position);
    const bool shared = std::count(std::begin(kEntryNames), std::end(kEntryNames),
                                   kEntryNames[static_cast<std::size_t>(position)]) > 1;
    return shared ? name + " (position " + std::to_string(position) + ")" : name;
}

} // namespace vocabulary
