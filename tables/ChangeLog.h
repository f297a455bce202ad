#pragma once

#include "species/Change.h"
#include "species/Record.h"
#include "species/Tables.h"

#include "nds/GameEdition.h"

#include <span>
#include <string>
#include <vector>

namespace tables {

enum class LogFormat { Text, Markdown };

// The change log of two images, for people to read: a first line that names both, then a block
// for each entry that differs, in position order, headed by its Pokédex number (the position
// and one) and name, with a line for each field changed, its old and new value by name ("Type
// 2: Flying -> Steel", "Item 1: Value 600 -> Leftovers"), the base-stat total when a base stat
// changed, and the TM and HM flags on one line with the moves they teach in the second image's
// game. Each changed evolution slot is a line in words: "Evolution 1: Level 16 -> Ivysaur
// became Level 12 -> Ivysaur". Markdown gives each entry a heading and list lines. Every kind
// of record both images have is compared; `notes` end the log, a paragraph each: what was not
// compared, and why.
[[nodiscard]] std::string changeLog(const nds::GameEdition& from, const species::Tables& before,
                                    const nds::GameEdition& to, const species::Tables& after,
                                    LogFormat format, std::span<const std::string> notes = {});

// One change as the log shows it: "Speed: 102 -> 95", "Item 1: Value 600 -> Leftovers", or
// for a TM or HM flag "+TM06 Toxic", the move as the game of `to` teaches it.
[[nodiscard]] std::string describeChange(const species::Change& change, nds::Game from,
                                         nds::Game to);

// The lines of the log for the changes of one entry (by field), from the tables `before` to
// `after`: as the log lists them under the entry's heading.
[[nodiscard]] std::vector<std::string> entryLines(std::span<const species::Change> changes,
                                                  const species::Tables& before, nds::Game from,
                                                  const species::Tables& after, nds::Game to);

} // namespace tables
