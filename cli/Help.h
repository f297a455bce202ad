#pragma once

#include <optional>
#include <string_view>

namespace cli {

// The help of `command`, or of the program as a whole for "", or nothing for no command.
[[nodiscard]] std::optional<std::string_view> helpText(std::string_view command);

} // namespace cli
