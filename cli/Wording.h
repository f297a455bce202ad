#pragma once

#include <cstddef>
#include <string>

namespace cli {

// "1 entry", "2 entries"
[[nodiscard]] inline std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace cli
