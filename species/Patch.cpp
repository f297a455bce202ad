#include "Patch.h"

#include "ValueRules.h"
#include "Vocabulary.h"

namespace species {

std::optional<Field> patchField(std::string_view name) {
    for (const FieldDescriptor& field : fieldLayout())
        if (field.key == name)
            return field.field;
    return std::nullopt;
}

Patch patchBetween(const nds::GameEdition& edition, std::span<const Record> before,
                   std::span<const Record> after) {
    return {std::string(edition.code), std::string(edition.title), changesBetween(before, after)};
}

namespace {

// Why the flag of `field` means another move in `game` than in the patch's, or nothing.
std::optional<std::string> otherMove(const FieldDescriptor& field, const nds::GameEdition* source,
                                     nds::Game game) {
    if (field.part != Part::TmHm || !source)
        return std::nullopt;
    const int n = static_cast<int>(field.field) - static_cast<int>(Field::FirstTmHm);
    const std::string_view theirs = vocabulary::tmHmMove(n, source->game);
    const std::string_view ours = vocabulary::tmHmMove(n, game);
    if (theirs == ours)
        return std::nullopt;
    return std::string(field.caption) + " teaches " + std::string(theirs) +
           " where the patch was made, " + std::string(ours) + " in this image";
}

} // namespace

std::vector<PatchStep> judgePatch(const Patch& patch, std::span<const Record> entries,
                                  nds::Game game) {
    const nds::GameEdition* source = nds::findEdition(patch.code);
    std::vector<PatchStep> steps;
    steps.reserve(patch.changes.size());
    for (const Change& change : patch.changes) {
        PatchStep step{PatchStep::Kind::Change, &change, 0, {}};
        const FieldDescriptor& field = descriptor(change.field);
        if (change.position < 0 || std::size_t(change.position) >= entries.size()) {
            step.kind = PatchStep::Kind::Missing;
            step.reason = "the image has no entry at position " + std::to_string(change.position) +
                          ", only " + std::to_string(entries.size());
            steps.push_back(std::move(step));
            continue;
        }
        step.found = entries[std::size_t(change.position)].get(change.field);
        if (const std::optional<std::string> refused =
                refusal(field, change.position, change.after, std::to_string(change.after),
                        step.found, game)) {
            step.kind = PatchStep::Kind::Refused;
            step.reason = *refused;
        } else if (const std::optional<std::string> other = otherMove(field, source, game)) {
            step.kind = PatchStep::Kind::Conflict;
            step.reason = *other;
        } else if (step.found == change.after) {
            step.kind = PatchStep::Kind::AlreadyApplied;
        } else if (step.found != change.before) {
            step.kind = PatchStep::Kind::Conflict;
            step.reason = "the patch expects " + std::to_string(change.before) +
                          ", the image holds " + std::to_string(step.found);
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

bool blocks(const PatchStep& step, bool force) {
    return step.kind == PatchStep::Kind::Missing || step.kind == PatchStep::Kind::Refused ||
           (step.kind == PatchStep::Kind::Conflict && !force);
}

std::vector<Change> changesToMake(std::span<const PatchStep> steps, bool force) {
    std::vector<Change> changes;
    for (const PatchStep& step : steps)
        if (step.kind == PatchStep::Kind::Change ||
            (step.kind == PatchStep::Kind::Conflict && force))
            changes.push_back(
                {step.change->position, step.change->field, step.found, step.change->after});
    return changes;
}

} // namespace species
