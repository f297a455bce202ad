#pragma once

#include "GameEdition.h"
#include "Record.h"

#include <span>
#include <string>

// The entries of an image as text: CSV with one header line, or JSON that also carries the
// list text of each listed value. Entry k is the table's position k.
namespace tables {

[[nodiscard]] std::string csvHeader();
[[nodiscard]] std::string toCsv(std::span<const species::Record> entries);
[[nodiscard]] std::string toJson(const nds::GameEdition& edition,
                                 std::span<const species::Record> entries);

} // namespace tables
