#include "ChangeText.h"

#include "Columns.h"

#include "Vocabulary.h"

#include "Text.h"

namespace tables {

namespace {

// A value as a line of changes shows it: the number, or with a game its list's name for it.
std::string valueText(const species::FieldDescriptor& field, int value,
                      std::optional<nds::Game> names) {
    if (names && !field.isNumber())
        if (const std::optional<std::string> name = vocabulary::text(field.list, value, *names))
            return std::string(base::trimmed(*name));
    return std::to_string(value);
}

} // namespace

std::vector<std::string> describeChanges(std::span<const species::Change> changes,
                                         std::optional<nds::Game> names) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const species::Change& change = changes[i];
        const std::string entry = vocabulary::entryLabel(change.position) + ": ";
        const species::FieldDescriptor& field = species::descriptor(change.field);
        if (field.part != species::Part::TmHm) {
            lines.push_back(entry + std::string(field.key) + " " +
                            valueText(field, change.before, names) + " -> " +
                            valueText(field, change.after, names));
            continue;
        }
        // The flags of one entry, on one line.
        std::string flags;
        for (; i < changes.size() && changes[i].position == change.position &&
               species::descriptor(changes[i].field).part == species::Part::TmHm;
             ++i)
            flags += std::string(changes[i].after ? " +" : " -") +
                     std::string(species::descriptor(changes[i].field).caption);
        --i;
        lines.push_back(entry + std::string(kTmHmColumn) + flags);
    }
    return lines;
}

} // namespace tables
