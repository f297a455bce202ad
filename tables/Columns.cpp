#include "Columns.h"

#include "base/Text.h"
#include "species/FieldLayout.h"

#include <algorithm>
#include <set>

namespace tables {
namespace {

struct Names {
    std::vector<std::string> columns;
    std::vector<std::string> evolutions;
    std::vector<std::string> learnsets;
    std::vector<std::string> eggMoves;
    std::vector<std::string> required;
    std::set<std::string> known;
    std::set<std::string> companions;
};

const Names& names() {
    static const Names built = [] {
        Names names;
        names.required = {"position", "species"};
        names.columns = names.required;
        for (const species::FieldDescriptor& field : species::fieldsOf(species::Part::Main)) {
            names.columns.emplace_back(field.key);
            if (!field.isNumber())
                names.companions.insert(std::string(field.key) + "_text");
        }
        for (const species::Part part : {species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part))
                names.columns.emplace_back(field.key);
        names.columns.emplace_back(kTmHmColumn);
        names.companions.insert(std::string(kTmHmColumn) + "_text");
        names.evolutions = names.required;
        for (const species::FieldDescriptor& field : species::evolutionLayout())
            names.evolutions.emplace_back(field.key);
        names.evolutions.emplace_back(kEvolutionsTextColumn);
        names.learnsets = names.required;
        names.learnsets.insert(names.learnsets.end(), {"level", "move"});
        names.eggMoves = names.required;
        names.eggMoves.emplace_back("move");
        names.known.insert(names.columns.begin(), names.columns.end());
        names.known.insert(names.evolutions.begin(), names.evolutions.end());
        names.known.insert(names.learnsets.begin(), names.learnsets.end());
        names.known.insert(std::string(kMovesMember));
        names.known.insert(std::string(kEggMovesMember));
        return names;
    }();
    return built;
}

} // namespace

std::span<const std::string> columns() {
    return names().columns;
}

std::span<const std::string> evolutionColumns() {
    return names().evolutions;
}

std::span<const std::string> learnsetColumns() {
    return names().learnsets;
}

std::span<const std::string> eggMoveColumns() {
    return names().eggMoves;
}

bool isMoveListHeader(const std::vector<std::string>& columns) {
    return std::find(columns.begin(), columns.end(), "move") != columns.end();
}

std::span<const std::string> requiredColumns() {
    return names().required;
}

bool isColumn(const std::string& name) {
    return names().known.count(name) > 0;
}

bool isTextCompanion(const std::string& name) {
    return names().companions.count(name) > 0;
}

std::vector<int> tmHmFlags(const species::Record& record) {
    std::vector<int> flags;
    for (int n = 0; n < species::kTmHmCount; ++n)
        if (record.get(species::tmHm(n)) != 0)
            flags.push_back(n);
    return flags;
}

std::string tmHmNames(std::span<const int> flags) {
    std::string text;
    for (const int n : flags)
        text +=
            (text.empty() ? "" : " ") + std::string(species::descriptor(species::tmHm(n)).caption);
    return text;
}

base::Result<std::vector<int>> parseTmHmNames(std::string_view text) {
    const auto refused = [](const std::string& reason) {
        return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "", reason);
    };
    std::vector<int> flags;
    std::set<int> seen;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        const std::string_view name = text.substr(0, text.find(' '));
        text.remove_prefix(name.size());
        int flag = -1;
        for (int n = 0; n < species::kTmHmCount && flag < 0; ++n)
            if (species::descriptor(species::tmHm(n)).caption == name)
                flag = n;
        if (flag < 0)
            return refused(base::quoted(name) + " is no TM or HM (TM01 to TM92, HM01 to HM08)");
        if (!seen.insert(flag).second)
            return refused(std::string(name) + " is named twice");
        flags.push_back(flag);
    }
    return flags;
}

} // namespace tables
