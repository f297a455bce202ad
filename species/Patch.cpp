#include "Patch.h"

#include "EvolutionRules.h"
#include "ValueRules.h"
#include "Vocabulary.h"

namespace species {

std::optional<Field> patchField(std::string_view name) {
    for (const std::span<const FieldDescriptor> fields : {fieldLayout(), evolutionLayout()})
        for (const FieldDescriptor& field : fields)
            if (field.key == name)
                return field.field;
    return std::nullopt;
}

Patch patchBetween(const nds::GameEdition& edition, std::span<const Record> before,
                   std::span<const Record> after, std::span<const Record> evolutionsBefore,
                   std::span<const Record> evolutionsAfter) {
    Patch patch{std::string(edition.code), std::string(edition.title),
                changesBetween(before, after)};
    const std::vector<Change> slots = slotChangesBetween(evolutionsBefore, evolutionsAfter);
    patch.changes.insert(patch.changes.end(), slots.begin(), slots.end());
    sortChanges(patch.changes);
    return patch;
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

namespace {

// The method that slot `field` belongs to will have: the patch's, where it sets the method of
// that slot, else what the image holds.
int methodOf(const Patch& patch, const Change& change, const Record& evolutions) {
    const Field method = evolution(slotOf(change.field), SlotPart::Method);
    for (const Change& other : patch.changes)
        if (other.position == change.position && other.field == method)
            return other.after;
    return evolutions.get(method);
}

} // namespace

std::vector<PatchStep> judgePatch(const Patch& patch, std::span<const Record> entries,
                                  nds::Game game, std::span<const Record> evolutions) {
    const nds::GameEdition* source = nds::findEdition(patch.code);
    std::vector<PatchStep> steps;
    steps.reserve(patch.changes.size());
    for (const Change& change : patch.changes) {
        PatchStep step{PatchStep::Kind::Change, &change, 0, {}};
        const FieldDescriptor& field = descriptor(change.field);
        const bool evolves = isEvolution(change.field);
        const std::span<const Record> records = evolves ? evolutions : entries;
        if (change.position < 0 || std::size_t(change.position) >= records.size()) {
            step.kind = PatchStep::Kind::Missing;
            step.reason = evolves && evolutions.empty()
                              ? "the image has no evolution table"
                              : "the image has no entry at position " +
                                    std::to_string(change.position) + ", only " +
                                    std::to_string(records.size());
            steps.push_back(std::move(step));
            continue;
        }
        const Record& record = records[std::size_t(change.position)];
        step.found = record.get(change.field);
        const std::optional<std::string> refused =
            evolves ? evolutionRefusal(change.field, change.position, change.after,
                                       methodOf(patch, change, record), step.found, game)
                    : refusal(field, change.position, change.after, std::to_string(change.after),
                              step.found, game);
        if (refused) {
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
