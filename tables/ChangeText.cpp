#include "ChangeText.h"

#include "Columns.h"

#include "species/RecordKinds.h"
#include "species/Vocabulary.h"

#include "base/Text.h"

#include <set>

namespace tables {

namespace {

// A value as a line of changes shows it: the number, or with a game its list's name for it.
std::string valueText(const species::FieldDescriptor& field, const species::Value& value,
                      std::optional<nds::Game> names) {
    if (names)
        if (std::optional<std::string> name = vocabulary::name(field.list, value.number(), *names))
            return std::move(*name);
    return std::to_string(value.number());
}

} // namespace

std::vector<std::string> describeChanges(std::span<const species::Change> changes,
                                         std::optional<nds::Game> names) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const species::Change& change = changes[i];
        const std::string entry = vocabulary::entryLabel(change.position) + ": ";
        const species::FieldDescriptor& field = species::descriptor(change.field);
        if (field.isList()) {
            lines.push_back(
                entry + species::displayName(change.field) + ": " +
                species::recordKindOf(change.field).listDifference(change.before, change.after));
            continue;
        }
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
            flags += std::string(changes[i].after.number() ? " +" : " -") +
                     std::string(species::descriptor(changes[i].field).caption);
        --i;
        lines.push_back(entry + std::string(kTmHmColumn) + flags);
    }
    return lines;
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string countChanges(std::span<const species::Change> changes) {
    std::set<int> entries;
    for (const species::Change& change : changes)
        entries.insert(change.position);
    return counted(describeChanges(changes).size(), "change", "changes") + " in " +
           counted(entries.size(), "entry", "entries");
}

std::string describeStep(const species::PatchStep& step, std::optional<nds::Game> names) {
    const std::string change = describeChanges(std::span(&step.change, 1), names).front();
    switch (step.verdict) {
    case species::PatchStep::Verdict::Change:
        return change;
    case species::PatchStep::Verdict::AlreadyApplied:
        return change + " already applied";
    case species::PatchStep::Verdict::Conflict:
        return "conflict: " + change + ": " + step.reason;
    case species::PatchStep::Verdict::Missing:
        return "no such entry: " + change + ": " + step.reason;
    case species::PatchStep::Verdict::Refused:
        break;
    }
    return "refused: " + change + ": " + step.reason;
}

} // namespace tables
