#include "Columns.h"

#include "TableReader.h"

#include "FieldLayout.h"

#include <set>

namespace tables {

std::vector<std::string> requiredColumns() {
    std::vector<std::string> names = {"position", "species"};
    for (const species::FieldDescriptor& field : species::fieldLayout())
        names.emplace_back(field.key);
    return names;
}

bool isRequiredColumn(const std::string& name) {
    static const std::set<std::string> required = [] {
        const std::vector<std::string> names = requiredColumns();
        return std::set<std::string>(names.begin(), names.end());
    }();
    return required.count(name) > 0;
}

bool isTextCompanion(const std::string& name) {
    for (const species::FieldDescriptor& field : species::fieldLayout())
        if (!field.isNumber() && name == std::string(field.key) + "_text")
            return true;
    return false;
}

} // namespace tables
