#include "EvolutionRules.h"

#include "Vocabulary.h"

#include "base/Text.h"

#include <array>

namespace species {
namespace {

struct Method {
    const char* name;
    EvolutionParameter parameter;
};

using P = EvolutionParameter;
constexpr std::array<Method, kEvolutionMethods> kMethods{{
    {"(none)", P::None},
    {"High friendship", P::None},
    {"High friendship by day", P::None},
    {"High friendship by night", P::None},
    {"Level", P::Level},
    {"Trade", P::None},
    {"Trade holding item", P::Item},
    {"Use item", P::Item},
    {"Level, Attack > Defense", P::Level},
    {"Level, Attack = Defense", P::Level},
    {"Level, Attack < Defense", P::Level},
    {"Level, personality low", P::Level},
    {"Level, personality high", P::Level},
    {"Level (Ninjask)", P::Level},
    {"Level (Shedinja)", P::Level},
    {"Beauty", P::Beauty},
    {"Use item, male", P::Item},
    {"Use item, female", P::Item},
    {"Level up by day holding item", P::Item},
    {"Level up by night holding item", P::Item},
    {"Level up knowing move", P::Move},
    {"Level up with species in party", P::Species},
    {"Level, male", P::Level},
    {"Level, female", P::Level},
    {"Level up at Mt. Coronet", P::None},
    {"Level up near the Moss Rock", P::None},
    {"Level up near the Ice Rock", P::None},
}};

int get(const Record& evolutions, int slot, SlotPart part) {
    return evolutions.get(evolution(slot, part));
}

// The parameter in words: "16", "Fire Stone", "AncientPower", "Remoraid".
std::string parameterText(int method, int parameter, nds::Game game) {
    const auto named = [&](std::optional<std::string> name) {
        return name ? std::string(base::trimmed(*name)) : "Value " + std::to_string(parameter);
    };
    switch (parameterOf(method)) {
    case P::Item:
        return named(vocabulary::text(vocabulary::List::Items, parameter, game));
    case P::Move:
        return named(parameter > 0 && parameter <= kMoveCount
                         ? std::optional(std::string(vocabulary::moves()[std::size_t(parameter)]))
                         : std::nullopt);
    case P::Species:
        return named(parameter > 0 && parameter <= kLastSpecies
                         ? std::optional(vocabulary::entryName(parameter - 1))
                         : std::nullopt);
    case P::Level:
    case P::Beauty:
        return std::to_string(parameter);
    case P::None:
        break;
    }
    return {};
}

// The range a value of `part` may take with `method`, or nothing when only 0 will do.
std::pair<int, int> rangeOf(SlotPart part, int method, nds::Game game) {
    if (part == SlotPart::Method)
        return {0, kEvolutionMethods - 1};
    if (part == SlotPart::Target)
        return method == 0 ? std::pair(0, 0) : std::pair(1, kLastSpecies);
    switch (parameterOf(method)) {
    case P::Level:
        return {1, kMaxLevel};
    case P::Item:
        return {1, vocabulary::size(vocabulary::List::Items, game) - 1};
    case P::Move:
        return {1, kMoveCount};
    case P::Species:
        return {1, kLastSpecies};
    case P::Beauty:
        return {0, 255};
    case P::None:
        break;
    }
    return {0, 0};
}

} // namespace

EvolutionParameter parameterOf(int method) {
    return method >= 0 && method < kEvolutionMethods ? kMethods[std::size_t(method)].parameter
                                                     : P::None;
}

std::string methodName(int method) {
    if (method >= 0 && method < kEvolutionMethods)
        return kMethods[std::size_t(method)].name;
    return "Value " + std::to_string(method);
}

bool neverTriggered(int method, nds::Game game) {
    const bool johto = game == nds::Game::HeartGold || game == nds::Game::SoulSilver;
    return johto && method >= 24 && method <= 26;
}

std::string slotText(const Record& evolutions, int slot, nds::Game game) {
    const int method = get(evolutions, slot, SlotPart::Method);
    if (method == 0)
        return {};
    const std::string parameter =
        parameterText(method, get(evolutions, slot, SlotPart::Parameter), game);
    const int target = get(evolutions, slot, SlotPart::Target);
    const std::string into = target > 0 && target <= kLastSpecies
                                 ? vocabulary::entryName(target - 1)
                                 : "Value " + std::to_string(target);
    return methodName(method) + (parameter.empty() ? "" : " " + parameter) + " -> " + into;
}

std::string evolvesInto(const Record& evolutions, nds::Game game) {
    std::string text;
    for (int slot = 0; slot < kEvolutionSlots; ++slot) {
        const std::string used = slotText(evolutions, slot, game);
        if (used.empty())
            continue;
        const std::size_t arrow = used.rfind(" -> ");
        text += (text.empty() ? "" : ", ") + used.substr(arrow + 4) + " (" + used.substr(0, arrow) +
                ")";
    }
    return text;
}

std::string evolutionsText(const Record& evolutions, nds::Game game) {
    std::string text;
    for (int slot = 0; slot < kEvolutionSlots; ++slot)
        if (const std::string used = slotText(evolutions, slot, game); !used.empty())
            text += (text.empty() ? "" : "; ") + used;
    return text;
}

std::optional<std::string> evolutionRefusal(Field field, int position, long value, int method,
                                            int current, nds::Game game) {
    if (value == current)
        return std::nullopt;
    if (position >= kFirstUnevolvingPosition)
        return vocabulary::entryName(position) +
               " is no species of its own: the game reads no evolutions for it";
    const auto [low, high] = rangeOf(slotPartOf(field), method, game);
    if (value >= low && value <= high)
        return std::nullopt;
    const std::string text = std::to_string(value);
    if (low == high)
        return text + " is not " + std::to_string(low) + ", as " + methodName(method) +
               " takes no " + (slotPartOf(field) == SlotPart::Target ? "target" : "parameter");
    return text + " is not between " + std::to_string(low) + " and " + std::to_string(high);
}

void emptySlotsWithoutMethod(const Record& before, Record& after) {
    for (int slot = 0; slot < kEvolutionSlots; ++slot) {
        if (get(after, slot, SlotPart::Method) != 0 || get(before, slot, SlotPart::Method) == 0)
            continue;
        for (const SlotPart part : {SlotPart::Parameter, SlotPart::Target})
            if (get(after, slot, part) == get(before, slot, part))
                after.set(evolution(slot, part), 0);
    }
}

std::optional<std::string> slotRefusal(const Record& before, const Record& after, int slot,
                                       int position, nds::Game game) {
    constexpr SlotPart kParts[] = {SlotPart::Method, SlotPart::Parameter, SlotPart::Target};
    constexpr const char* kNames[] = {"method", "parameter", "target"};
    const int method = get(after, slot, SlotPart::Method);
    const bool sameMethod = method == get(before, slot, SlotPart::Method);
    bool changed = false;
    for (const SlotPart part : kParts)
        changed = changed || get(after, slot, part) != get(before, slot, part);
    if (!changed)
        return std::nullopt;
    if (position >= kFirstUnevolvingPosition)
        return vocabulary::entryName(position) +
               " is no species of its own: the game reads no evolutions for it";
    for (std::size_t n = 0; n < std::size(kParts); ++n) {
        const SlotPart part = kParts[n];
        // Under another method, what the slot held counts for nothing.
        const int current = part == SlotPart::Method || sameMethod ? get(before, slot, part) : -1;
        const std::optional<std::string> why = evolutionRefusal(
            evolution(slot, part), position, get(after, slot, part), method, current, game);
        if (!why)
            continue;
        const std::string text = slotText(after, slot, game);
        return "evolution " + std::to_string(slot + 1) + " would be " +
               (text.empty() ? std::string("empty") : "\"" + text + "\"") + ": its " + kNames[n] +
               " " + *why;
    }
    return std::nullopt;
}

std::vector<std::string> unusableSlots(const Record& evolutions, nds::Game game) {
    std::vector<std::string> found;
    for (int slot = 0; slot < kEvolutionSlots; ++slot) {
        const int method = get(evolutions, slot, SlotPart::Method);
        const int parameter = get(evolutions, slot, SlotPart::Parameter);
        const int target = get(evolutions, slot, SlotPart::Target);
        const std::string named = "evolution " + std::to_string(slot + 1) + ": ";
        if (method >= kEvolutionMethods)
            found.push_back(named + "method " + std::to_string(method) + " is none of the game's");
        else if (method != 0 && (target < 1 || target > kLastSpecies))
            found.push_back(named + "target " + std::to_string(target) +
                            " is no species (1 to 493)");
        else if (parameterOf(method) == P::Level && parameter > kMaxLevel)
            found.push_back(named + "level " + std::to_string(parameter) + " never comes");
        else if (method != 0 && neverTriggered(method, game))
            found.push_back(named + methodName(method) + ": no map of this game triggers it");
    }
    return found;
}

} // namespace species
