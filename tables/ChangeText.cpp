#include "ChangeText.h"

#include "Columns.h"

#include "Vocabulary.h"

namespace tables {

std::vector<std::string> describeChanges(std::span<const species::Change> changes) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const species::Change& change = changes[i];
        const std::string entry = vocabulary::entryName(change.position) + ": ";
        const species::FieldDescriptor& field = species::descriptor(change.field);
        if (field.part != species::Part::TmHm) {
            lines.push_back(entry + std::string(field.key) + " " + std::to_string(change.before) +
                            " -> " + std::to_string(change.after));
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
