#pragma once

#include "Error.h"

#include <string>

namespace cli {

// The table format given with --format, or the one that `name` ends in: "json" or "csv".
[[nodiscard]] inline base::Result<std::string> tableFormat(const std::string& given,
                                                           const std::string& name) {
    const std::string format = !given.empty() ? given : name.ends_with(".json") ? "json" : "csv";
    if (format != "csv" && format != "json")
        return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                               "--format is csv or json, not '" + format + "'");
    return format;
}

} // namespace cli
