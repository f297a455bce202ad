#pragma once

#include "nds/GameEdition.h"
#include "species/Record.h"

#include <span>
#include <string>

// The entries of an image as text: CSV with one header line, or JSON that also carries the
// list text of each listed value. Entry k is the table's position k.
namespace tables {

// How list values are written: as the stored numbers, or as the names their lists show in the
// image's game (a value beyond its list stays a number).
enum class ListValues { Numbers, Names };

[[nodiscard]] std::string csvHeader();
[[nodiscard]] std::string toCsv(std::span<const species::Record> entries,
                                nds::Game game = nds::Game::Diamond,
                                ListValues values = ListValues::Numbers);
[[nodiscard]] std::string toJson(const nds::GameEdition& edition,
                                 std::span<const species::Record> entries,
                                 ListValues values = ListValues::Numbers);

// The evolution records as a table: a row each, the fields as numbers and the used slots in
// words ("Level 16 -> Ivysaur").
[[nodiscard]] std::string evolutionsToCsv(std::span<const species::Record> evolutions,
                                          nds::Game game);
[[nodiscard]] std::string evolutionsToJson(const nds::GameEdition& edition,
                                           std::span<const species::Record> evolutions);

// The learnsets as a table: a row a move, in list order (position, species, level, move), and
// one row of empty level and move for an entry without any. JSON holds each entry's list in
// one member: "moves": ["1 Tackle", "4 Growl"]. Moves by number, or with names by name.
[[nodiscard]] std::string learnsetsToCsv(std::span<const species::Record> learnsets,
                                         ListValues values = ListValues::Numbers);
[[nodiscard]] std::string learnsetsToJson(const nds::GameEdition& edition,
                                          std::span<const species::Record> learnsets,
                                          ListValues values = ListValues::Numbers);

// The egg moves as a table: a row a move (position, species, move), and one row of an empty
// move for an entry without any; a form's rows are its species' moves. JSON holds each
// entry's moves in one member: "egg_moves": ["Bite"]. Moves by number, or with names by name.
[[nodiscard]] std::string eggMovesToCsv(std::span<const species::Record> eggMoves,
                                        ListValues values = ListValues::Numbers);
[[nodiscard]] std::string eggMovesToJson(const nds::GameEdition& edition,
                                         std::span<const species::Record> eggMoves,
                                         ListValues values = ListValues::Numbers);

} // namespace tables
