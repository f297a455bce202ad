#include "TableReader.h"

#include "base/Text.h"

#include <algorithm>

namespace tables {
namespace {

std::string_view content(std::string_view text) {
    text = base::withoutByteOrderMark(text);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The names of the first line's fields, in lower case, whatever separates them.
std::vector<std::string> firstLineNames(std::string_view text) {
    std::string line(text.substr(0, text.find_first_of("\r\n")));
    std::transform(line.begin(), line.end(), line.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == ';' ? ',' : c;
    });
    std::vector<std::string> names;
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t comma = std::min(line.find(',', at), line.size());
        names.emplace_back(base::trimmed(std::string_view(line).substr(at, comma - at)));
        at = comma + 1;
    }
    return names;
}

} // namespace

bool startsLikeJson(std::string_view text) {
    const std::string_view start = content(text);
    return start.starts_with('{') || start.starts_with('[');
}

FileKind kindOf(std::string_view text) {
    const std::string_view start = content(text);
    if (start.starts_with("# statwright patch"))
        return FileKind::Patch;
    if (startsLikeJson(start)) {
        if (start.find("\"statwright-patch\"") != std::string_view::npos)
            return FileKind::Patch;
        if (start.starts_with('[') || start.find("\"entries\"") != std::string_view::npos)
            return FileKind::Table;
        return FileKind::Unknown;
    }
    const std::vector<std::string> names = firstLineNames(start);
    const auto has = [&](const char* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (has("field") && has("from") && has("to"))
        return FileKind::Patch;
    if (has("position") || has("species"))
        return FileKind::Table;
    return FileKind::Unknown;
}

} // namespace tables
