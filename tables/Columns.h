#pragma once

#include <string>

// Which names a table's columns (or a JSON entry's members) may have.
namespace tables {

// position, species, or one of the record's fields.
[[nodiscard]] bool isRequiredColumn(const std::string& name);
// The list text that export writes next to a listed field: "type1_text".
[[nodiscard]] bool isTextCompanion(const std::string& name);

} // namespace tables
