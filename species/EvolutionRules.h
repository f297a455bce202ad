#pragma once

#include "FieldLayout.h"
#include "Record.h"

#include "nds/GameEdition.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the evolution records hold, in words, and the rules for their values, in one place for
// the window and statwright-cli.
namespace species {

// Methods 0 (an empty slot) to 26, the same in every game.
inline constexpr int kEvolutionMethods = 27;
// The species a target may be: the national numbers, without forms.
inline constexpr int kLastSpecies = 493;
// The game reads evolutions by species, never by form: list positions from here on (the Egg
// entries and the forms) are never read.
inline constexpr int kFirstUnevolvingPosition = 493;
inline constexpr int kMaxLevel = 100;
inline constexpr int kMoveCount = 467;

// What a method's parameter is.
enum class EvolutionParameter { None, Level, Item, Move, Species, Beauty };
[[nodiscard]] EvolutionParameter parameterOf(int method);

// The method in words, "Level", "Use item", "Trade holding item"; "(none)" for an empty slot,
// "Value 40" for a number no method has.
[[nodiscard]] std::string methodName(int method);
// Whether no map of `game` triggers `method` (24 to 26 in HeartGold and SoulSilver).
[[nodiscard]] bool neverTriggered(int method, nds::Game game);

// Slot `slot` of an evolution record in words, "Level 16 -> Ivysaur", "Use item Fire Stone ->
// Vaporeon"; empty for an empty slot.
[[nodiscard]] std::string slotText(const Record& evolutions, int slot, nds::Game game);
// What the entry evolves into, for a column: "Ivysaur (Level 16)", the used slots separated by
// ", "; empty when it evolves into nothing.
[[nodiscard]] std::string evolvesInto(const Record& evolutions, nds::Game game);
// Every used slot in words, separated by "; ".
[[nodiscard]] std::string evolutionsText(const Record& evolutions, nds::Game game);

// Why `value` may not be stored in the evolution `field` of the entry at `position` of an
// image of `game`, with `method` the slot's method as it will be and `current` what the image
// holds; nothing when it may. A value already in the image is kept whatever it is.
[[nodiscard]] std::optional<std::string> evolutionRefusal(Field field, int position, long value,
                                                          int method, int current, nds::Game game);

// The evolution record `after` with each slot whose method it sets to 0, where `before` had
// another, emptied as the window empties it: its parameter and target become 0 where they
// still hold what `before` held.
void emptySlotsWithoutMethod(const Record& before, Record& after);

// Why slot `slot` (0 to 6) of the evolution record of the entry at `position` may not become
// what `after` holds where the image holds `before`, judged whole under the method it will
// have, as the window judges it; nothing when it may, or when the slot stays as it is. A used
// slot needs a target species and a parameter its method takes; what the image holds already
// is kept where the method stays. The reason names the slot: "evolution 2 would be \"Level
// 237 -> Dewgong\": its parameter 237 is not between 1 and 100".
[[nodiscard]] std::optional<std::string> slotRefusal(const Record& before, const Record& after,
                                                     int slot, int position, nds::Game game);

// The slots of an entry that the game would never act on, in words ("evolution 2: level 101
// never comes"): an unknown method, a target out of range, a level above 100.
[[nodiscard]] std::vector<std::string> unusableSlots(const Record& evolutions, nds::Game game);

} // namespace species
