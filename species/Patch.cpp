#include "Patch.h"

#include "EvolutionRules.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include <algorithm>

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

// Judges one change of a field of the base-stat record, or of the evolution record as a field
// (its slot is judged whole afterwards).
PatchStep judgeChange(const Change& change, const Record& record, nds::Game game,
                      const nds::GameEdition* source) {
    PatchStep step{PatchStep::Kind::Change, change, record.get(change.field), {}};
    const FieldDescriptor& field = descriptor(change.field);
    const std::optional<std::string> refused =
        isEvolution(change.field) ? std::nullopt
                                  : refusal(field, change.position, change.after,
                                            std::to_string(change.after), step.found, game);
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
        step.reason = "the patch expects " + std::to_string(change.before) + ", the image holds " +
                      std::to_string(step.found);
    }
    return step;
}

// The evolution slots of the entry at `position` as the patch would leave them, judged whole:
// the steps of a slot refused are refused with its reason, and the parameter and target of a
// slot whose method becomes 0 are emptied by steps of their own.
void judgeSlots(int position, const Record& record, nds::Game game, std::vector<PatchStep>& steps,
                std::size_t first) {
    Record after = record;
    for (std::size_t i = first; i < steps.size(); ++i)
        after.set(steps[i].change.field, steps[i].change.after);
    emptySlotsWithoutMethod(record, after);
    for (const FieldDescriptor& field : evolutionLayout()) {
        const bool named =
            std::any_of(steps.begin() + std::ptrdiff_t(first), steps.end(),
                        [&](const PatchStep& s) { return s.change.field == field.field; });
        if (!named && after.get(field.field) != record.get(field.field))
            steps.push_back({PatchStep::Kind::Change,
                             {position, field.field, record.get(field.field), 0},
                             record.get(field.field),
                             {}});
    }
    for (std::size_t i = first; i < steps.size(); ++i)
        if (const std::optional<std::string> refused =
                slotRefusal(record, after, slotOf(steps[i].change.field), position, game)) {
            steps[i].kind = PatchStep::Kind::Refused;
            steps[i].reason = *refused;
        }
}

} // namespace

std::vector<PatchStep> judgePatch(const Patch& patch, std::span<const Record> entries,
                                  nds::Game game, std::span<const Record> evolutions) {
    const nds::GameEdition* source = nds::findEdition(patch.code);
    std::vector<PatchStep> steps;
    steps.reserve(patch.changes.size());
    // The patch's changes come by position, then field: those of one entry's evolution record
    // stand together, and are judged together once the last is in.
    for (std::size_t i = 0; i < patch.changes.size(); ++i) {
        const Change& change = patch.changes[i];
        const bool evolves = isEvolution(change.field);
        const std::span<const Record> records = evolves ? evolutions : entries;
        if (change.position < 0 || std::size_t(change.position) >= records.size()) {
            const std::string reason = evolves && evolutions.empty()
                                           ? "the image has no evolution table"
                                           : "the image has no entry at position " +
                                                 std::to_string(change.position) + ", only " +
                                                 std::to_string(records.size());
            steps.push_back({PatchStep::Kind::Missing, change, 0, reason});
            continue;
        }
        const Record& record = records[std::size_t(change.position)];
        const std::size_t first = steps.size();
        steps.push_back(judgeChange(change, record, game, source));
        if (!evolves)
            continue;
        for (; i + 1 < patch.changes.size() && patch.changes[i + 1].position == change.position &&
               isEvolution(patch.changes[i + 1].field);
             ++i)
            steps.push_back(judgeChange(patch.changes[i + 1], record, game, source));
        judgeSlots(change.position, record, game, steps, first);
    }
    std::stable_sort(steps.begin(), steps.end(), [](const PatchStep& a, const PatchStep& b) {
        return std::pair(a.change.position, a.change.field) <
               std::pair(b.change.position, b.change.field);
    });
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
                {step.change.position, step.change.field, step.found, step.change.after});
    return changes;
}

} // namespace species
