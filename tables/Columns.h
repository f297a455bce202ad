#pragma once

#include <span>
#include <string>

// The columns of an exported table (or the members of a JSON entry), built once from the
// record's field table.
namespace tables {

// position, species, then one column per record field, in the order of the record.
[[nodiscard]] std::span<const std::string> columns();
// One of columns().
[[nodiscard]] bool isRequiredColumn(const std::string& name);
// The list text that export writes next to a listed field: "type1_text".
[[nodiscard]] bool isTextCompanion(const std::string& name);

} // namespace tables
