#include "Columns.h"

#include "FieldLayout.h"

#include <set>
#include <vector>

namespace tables {
namespace {

struct Names {
    std::vector<std::string> columns;
    std::set<std::string> required;
    std::set<std::string> companions;
};

const Names& names() {
    static const Names built = [] {
        Names names;
        names.columns = {"position", "species"};
        for (const species::FieldDescriptor& field : species::fieldLayout()) {
            names.columns.emplace_back(field.key);
            if (!field.isNumber())
                names.companions.insert(std::string(field.key) + "_text");
        }
        names.required.insert(names.columns.begin(), names.columns.end());
        return names;
    }();
    return built;
}

} // namespace

std::span<const std::string> columns() {
    return names().columns;
}

bool isRequiredColumn(const std::string& name) {
    return names().required.count(name) > 0;
}

bool isTextCompanion(const std::string& name) {
    return names().companions.count(name) > 0;
}

} // namespace tables
