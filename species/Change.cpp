#include "Change.h"

#include "Vocabulary.h"

#include "base/Text.h"

#include <algorithm>

namespace species {

void sortChanges(std::vector<Change>& changes) {
    std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return a.position != b.position ? a.position < b.position : a.field < b.field;
    });
}

std::vector<Change> changesOf(int position, const Record& before, const Record& after,
                              std::span<const FieldDescriptor> fields) {
    std::vector<Change> changes;
    for (const FieldDescriptor& field : fields) {
        Value from = before.value(field.field);
        Value to = after.value(field.field);
        if (from != to)
            changes.push_back({position, field.field, std::move(from), std::move(to)});
    }
    return changes;
}

std::vector<Change> changesBetween(std::span<const Record> before, std::span<const Record> after,
                                   std::span<const FieldDescriptor> fields) {
    std::vector<Change> changes;
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t position = 0; position < common; ++position) {
        const std::vector<Change> entry =
            changesOf(static_cast<int>(position), before[position], after[position], fields);
        changes.insert(changes.end(), entry.begin(), entry.end());
    }
    return changes;
}

std::vector<Change> slotChangesBetween(std::span<const Record> before,
                                       std::span<const Record> after, int firstPosition) {
    std::vector<Change> changes;
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t position = 0; position < common; ++position)
        for (int slot = 0; slot < kEvolutionSlots; ++slot) {
            std::vector<Change> whole;
            bool differs = false;
            for (const SlotPart part : {SlotPart::Method, SlotPart::Parameter, SlotPart::Target}) {
                const Field field = evolution(slot, part);
                const Change change{firstPosition + static_cast<int>(position), field,
                                    before[position].get(field), after[position].get(field)};
                differs = differs || change.before != change.after;
                whole.push_back(change);
            }
            if (differs)
                changes.insert(changes.end(), whole.begin(), whole.end());
        }
    return changes;
}

std::optional<std::string> misnamed(int position, std::string_view name) {
    const std::string expected = vocabulary::entryName(position);
    if (base::trimmed(name) == base::trimmed(expected))
        return std::nullopt;
    return base::quoted(name) + " does not stand at position " + std::to_string(position) + ", \"" +
           expected + "\" does";
}

} // namespace species
