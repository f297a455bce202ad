#pragma once

#include "base/Error.h"

#include <algorithm>
#include <string>

namespace cli {

// `text` in lower case (ASCII): options and file name endings are read without regard to it.
[[nodiscard]] inline std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return text;
}

// The table format given with --format, or the one that `name` ends in: "json" or "csv".
[[nodiscard]] inline base::Result<std::string> tableFormat(const std::string& given,
                                                           const std::string& name) {
    const std::string format = !given.empty()                       ? lowerCase(given)
                               : lowerCase(name).ends_with(".json") ? "json"
                                                                    : "csv";
    if (format != "csv" && format != "json")
        return base::Error::at(base::Error::Kind::Usage, "", 0, "",
                               "--format is csv or json, not '" + given + "'");
    return format;
}

} // namespace cli
