#pragma once

#include "Change.h"
#include "Record.h"

#include "GameEdition.h"

#include <span>
#include <string>

namespace tables {

enum class LogFormat { Text, Markdown };

// The change log of two images, for people to read: a first line that names both, then a block
// for each entry that differs, in position order, headed by its Pokédex number (the position
// and one) and name, with a line for each field changed, its old
// and new value by name ("Type 2: Flying -> Steel", "Item 1: Value 600 -> Leftovers"), the
// base-stat total when a base stat changed, and the TM and HM flags on one line with the moves
// they teach in the second image's game. Markdown gives each entry a heading and list lines.
// With the evolution records of both, each changed slot is a line in words: "Evolution 1:
// Level 16 -> Ivysaur became Level 12 -> Ivysaur". `notes` end the log, a paragraph each:
// what was not compared, and why.
[[nodiscard]] std::string changeLog(const nds::GameEdition& from,
                                    std::span<const species::Record> before,
                                    const nds::GameEdition& to,
                                    std::span<const species::Record> after, LogFormat format,
                                    std::span<const species::Record> evolutionsBefore = {},
                                    std::span<const species::Record> evolutionsAfter = {},
                                    std::span<const std::string> notes = {});

// One change as the log shows it: "Speed: 102 -> 95", "Item 1: Value 600 -> Leftovers", or
// for a TM or HM flag "+TM06 Toxic", the move as the game of `to` teaches it.
[[nodiscard]] std::string describeChange(const species::Change& change, nds::Game from,
                                         nds::Game to);

} // namespace tables
