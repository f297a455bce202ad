#include "Patch.h"

#include "RecordKinds.h"
#include "Vocabulary.h"

#include <algorithm>

namespace species {

std::optional<Field> patchField(std::string_view name) {
    for (const RecordKind* kind : recordKinds())
        for (const FieldDescriptor& field : kind->fields())
            if (field.key == name)
                return field.field;
    return std::nullopt;
}

std::vector<Change> changesBetween(const Tables& before, const Tables& after) {
    std::vector<Change> changes;
    for (const auto& [kind, records] : before) {
        const auto other = after.find(kind);
        if (other == after.end())
            continue;
        const std::size_t common = std::min(records.size(), other->second.size());
        for (std::size_t position = 0; position < common; ++position) {
            const std::vector<Change> entry = recordKind(kind).changesBetween(
                static_cast<int>(position), records[position], other->second[position]);
            changes.insert(changes.end(), entry.begin(), entry.end());
        }
    }
    sortChanges(changes);
    return changes;
}

Patch patchBetween(const nds::GameEdition& edition, const Tables& before, const Tables& after) {
    return {std::string(edition.code), std::string(edition.title), changesBetween(before, after)};
}

namespace {

// A value as a reason names it: a list in quotes, "\"1 Cut, 5 Gust\"", an entry of a list of
// `game` by its name, "Poison", or the number.
std::string plain(Field field, const Value& value, nds::Game game) {
    if (value.isList())
        return "\"" + recordKindOf(field).listText(value) + "\"";
    return vocabulary::name(descriptor(field).list, value.number(), game)
        .value_or(std::to_string(value.number()));
}

// Judges one change against the record the image holds now: what it finds, and whether it
// means what it meant where the patch was made.
PatchStep judgeChange(const Change& change, const Record& record, nds::Game game,
                      const nds::GameEdition* source) {
    PatchStep step{PatchStep::Verdict::Change, change, record.value(change.field), {}};
    const std::optional<std::string> other =
        source ? recordKindOf(change.field).meaningDiffers(change.field, source->game, game)
               : std::nullopt;
    if (other) {
        step.verdict = PatchStep::Verdict::Conflict;
        step.reason = *other;
    } else if (step.found == change.after) {
        step.verdict = PatchStep::Verdict::AlreadyApplied;
    } else if (step.found != change.before) {
        step.verdict = PatchStep::Verdict::Conflict;
        step.reason = "the patch expects " + plain(change.field, change.before, game) +
                      ", the image holds " + plain(change.field, step.found, game);
    }
    return step;
}

// The record of one entry of one kind as the patch would leave it, judged whole: the steps of
// a field refused are refused with its reason, and what the edit implies (an evolution slot
// emptied with its method) is made by steps of its own.
void judgeRecord(const RecordKind& kind, int position, const Record& record, nds::Game game,
                 std::vector<PatchStep>& steps, std::size_t first) {
    Record after = record;
    for (std::size_t i = first; i < steps.size(); ++i)
        after.set(steps[i].change.field, steps[i].change.after);
    kind.complete(record, after);
    for (const FieldDescriptor& field : kind.fields()) {
        const bool named =
            std::any_of(steps.begin() + std::ptrdiff_t(first), steps.end(),
                        [&](const PatchStep& step) { return step.change.field == field.field; });
        Value before = record.value(field.field);
        if (!named && after.value(field.field) != before)
            steps.push_back({PatchStep::Verdict::Change,
                             {position, field.field, before, after.value(field.field)},
                             before,
                             {}});
    }
    std::vector<Change> named;
    for (std::size_t i = first; i < steps.size(); ++i)
        named.push_back(steps[i].change);
    for (const Refusal& refused : kind.refusals(position, record, after, named, game))
        for (std::size_t i = first; i < steps.size(); ++i)
            if (steps[i].change.field == refused.field) {
                steps[i].verdict = PatchStep::Verdict::Refused;
                steps[i].reason = refused.reason;
            }
}

} // namespace

PatchVerdict judgePatch(const Patch& patch, const Tables& tables, nds::Game game, bool force) {
    const nds::GameEdition* source = nds::findEdition(patch.code);
    std::vector<PatchStep> steps;
    steps.reserve(patch.changes.size());
    // The patch's changes come by position, then field: those of one entry's record of a kind
    // stand together, and are judged together once the last is in.
    for (std::size_t i = 0; i < patch.changes.size(); ++i) {
        const Change& change = patch.changes[i];
        const RecordKind& kind = recordKindOf(change.field);
        const auto table = tables.find(kind.kind());
        const std::size_t count = table == tables.end() ? 0 : table->second.size();
        if (change.position < 0 || std::size_t(change.position) >= count) {
            const std::string reason = count == 0 ? "the image has no " + std::string(kind.noun())
                                                  : "the image has no entry at position " +
                                                        std::to_string(change.position) +
                                                        ", only " + std::to_string(count);
            steps.push_back({PatchStep::Verdict::Missing, change, 0, reason});
            continue;
        }
        const Record& record = table->second[std::size_t(change.position)];
        const std::size_t first = steps.size();
        steps.push_back(judgeChange(change, record, game, source));
        for (; i + 1 < patch.changes.size() && patch.changes[i + 1].position == change.position &&
               kindOf(patch.changes[i + 1].field) == kind.kind();
             ++i)
            steps.push_back(judgeChange(patch.changes[i + 1], record, game, source));
        judgeRecord(kind, change.position, record, game, steps, first);
    }
    std::stable_sort(steps.begin(), steps.end(), [](const PatchStep& a, const PatchStep& b) {
        return std::pair(a.change.position, a.change.field) <
               std::pair(b.change.position, b.change.field);
    });
    PatchVerdict verdict{std::move(steps), {}, {}, 0};
    verdict.changes = changesToMake(verdict.steps, force);
    for (std::size_t i = 0; i < verdict.steps.size(); ++i) {
        if (blocks(verdict.steps[i], force))
            verdict.blocking.push_back(i);
        verdict.already += verdict.steps[i].verdict == PatchStep::Verdict::AlreadyApplied ? 1 : 0;
    }
    return verdict;
}

bool blocks(const PatchStep& step, bool force) {
    return step.verdict == PatchStep::Verdict::Missing ||
           step.verdict == PatchStep::Verdict::Refused ||
           (step.verdict == PatchStep::Verdict::Conflict && !force);
}

std::vector<Change> changesToMake(std::span<const PatchStep> steps, bool force) {
    std::vector<Change> changes;
    for (const PatchStep& step : steps)
        if (step.verdict == PatchStep::Verdict::Change ||
            (step.verdict == PatchStep::Verdict::Conflict && force))
            changes.push_back(
                {step.change.position, step.change.field, step.found, step.change.after});
    return changes;
}

} // namespace species
