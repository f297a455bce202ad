#pragma once

#include "TableReader.h"

#include "species/Patch.h"

#include <string>
#include <string_view>

// A stat patch as text. CSV, for a spreadsheet:
//   # statwright patch 1, from ADAE Pokémon Diamond
//   position,species,field,from,to
//   444,Garchomp,speed,102,110
// JSON:
//   {"format": "statwright-patch", "version": 1,
//    "from": {"code": "ADAE", "title": "Pokémon Diamond"},
//    "changes": [{"position": 444, "species": "Garchomp", "field": "speed", "from": 102,
//                 "to": 110}]}
namespace tables {

inline constexpr int kPatchVersion = 1;

[[nodiscard]] std::string patchToCsv(const species::Patch& patch);
[[nodiscard]] std::string patchToJson(const species::Patch& patch);

// A patch as read, and what is wrong with it: any problem means it may not be applied.
struct PatchInput {
    species::Patch patch;
    ProblemList problems;
};

// Every change is checked as it is read: its position names an entry of some game, its
// species stands there (spaces at either end aside), its field is one a patch names, both
// values fit the field, and no entry's field changes twice.
[[nodiscard]] PatchInput readCsvPatch(std::string_view text);
[[nodiscard]] PatchInput readJsonPatch(std::string_view text);

} // namespace tables
