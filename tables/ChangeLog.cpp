#include "ChangeLog.h"

#include "species/Change.h"
#include "species/EvolutionRules.h"
#include "species/FieldLayout.h"
#include "species/Patch.h"
#include "species/RecordKinds.h"
#include "species/Vocabulary.h"

#include "base/Text.h"

#include <algorithm>

namespace tables {
namespace {

using species::Field;

constexpr Field kStats[] = {Field::HP,    Field::Attack,   Field::Defense,
                            Field::Speed, Field::SpAttack, Field::SpDefense};

// "Leftovers", "50% M 50% F", a number, or "Value 600" for what a list has no entry for.
std::string valueText(Field field, const species::Value& stored, nds::Game game) {
    const int value = stored.number();
    const species::FieldDescriptor& d = species::descriptor(field);
    if (d.isNumber())
        return std::to_string(value);
    if (std::optional<std::string> name = vocabulary::name(d.list, value, game))
        return std::move(*name);
    return "Value " + std::to_string(value);
}

std::string imageName(const nds::GameEdition& edition) {
    return std::string(edition.title) + " (" + std::string(edition.language) + ", " +
           std::string(edition.code) + ")";
}

int total(const species::Record& record) {
    int sum = 0;
    for (const Field stat : kStats)
        sum += record.get(stat);
    return sum;
}

} // namespace

std::string describeChange(const species::Change& change, nds::Game from, nds::Game to) {
    if (species::descriptor(change.field).isList())
        return species::displayName(change.field) + ": " +
               species::recordKindOf(change.field).listDifference(change.before, change.after);
    if (species::descriptor(change.field).part == species::Part::TmHm) {
        const int n = static_cast<int>(change.field) - static_cast<int>(Field::FirstTmHm);
        return std::string(change.after.number() ? "+" : "-") +
               std::string(species::descriptor(change.field).caption) + " " +
               std::string(vocabulary::tmHmMove(n, to));
    }
    return species::displayName(change.field) + ": " +
           valueText(change.field, change.before, from) + " -> " +
           valueText(change.field, change.after, to);
}

namespace {

// The record of `kind` of the entry at `position` in `tables`, or an empty one.
species::Record recordIn(const species::Tables& tables, species::Kind kind, int position) {
    const auto table = tables.find(kind);
    if (table == tables.end() || static_cast<std::size_t>(position) >= table->second.size())
        return {};
    return table->second[static_cast<std::size_t>(position)];
}

// "Evolution 1: Level 16 -> Ivysaur became Level 12 -> Ivysaur", once for each slot changed.
void slotLine(const species::Change& change, const species::Record& before, nds::Game from,
              const species::Record& after, nds::Game to, std::vector<std::string>& lines) {
    if (species::slotPartOf(change.field) != species::SlotPart::Method)
        return; // a slot's three changes make one line, made at its method
    const int slot = species::slotOf(change.field);
    const auto words = [&](const species::Record& record, nds::Game game) {
        const std::string text = species::slotText(record, slot, game);
        return text.empty() ? std::string("(none)") : text;
    };
    lines.push_back("Evolution " + std::to_string(slot + 1) + ": " + words(before, from) +
                    " became " + words(after, to));
}

} // namespace

std::vector<std::string> entryLines(std::span<const species::Change> changes,
                                    const species::Tables& before, nds::Game from,
                                    const species::Tables& after, nds::Game to) {
    std::vector<std::string> lines;
    if (changes.empty())
        return lines;
    const int position = changes.front().position;
    const species::Record statsBefore = recordIn(before, species::Kind::BaseStats, position);
    const species::Record statsAfter = recordIn(after, species::Kind::BaseStats, position);
    const species::Record evolvedBefore = recordIn(before, species::Kind::Evolutions, position);
    const species::Record evolvedAfter = recordIn(after, species::Kind::Evolutions, position);
    std::string flags;
    for (const species::Change& change : changes) {
        if (species::isEvolution(change.field)) {
            slotLine(change, evolvedBefore, from, evolvedAfter, to, lines);
            continue;
        }
        if (species::descriptor(change.field).part == species::Part::TmHm) {
            flags += (flags.empty() ? "" : ", ") + describeChange(change, from, to);
            continue;
        }
        lines.push_back(describeChange(change, from, to));
        if (change.field <= Field::SpDefense &&
            (&change == &changes.back() || (&change + 1)->field > Field::SpDefense))
            lines.push_back("Total: " + std::to_string(total(statsBefore)) + " -> " +
                            std::to_string(total(statsAfter)));
    }
    if (!flags.empty())
        lines.push_back("TM/HM: " + flags);
    return lines;
}

std::string changeLog(const nds::GameEdition& from, const species::Tables& before,
                      const nds::GameEdition& to, const species::Tables& after, LogFormat format,
                      std::span<const std::string> notes) {
    const bool markdown = format == LogFormat::Markdown;
    std::string log = (markdown ? "## " : "") + std::string("Changes from ") + imageName(from) +
                      " to " + imageName(to) + "\n";
    const std::vector<species::Change> changes = species::changesBetween(before, after);
    for (std::size_t i = 0; i < changes.size();) {
        std::size_t j = i;
        while (j < changes.size() && changes[j].position == changes[i].position)
            ++j;
        const int position = changes[i].position;
        // Numbered as players know them: the Pokédex number, the list position and one.
        log += "\n" + std::string(markdown ? "### " : "") + std::to_string(position + 1) + " " +
               vocabulary::entryName(position) + "\n";
        for (const std::string& line :
             entryLines(std::span(changes).subspan(i, j - i), before, from.game, after, to.game))
            log += (markdown ? "- " : "  ") + line + "\n";
        i = j;
    }
    if (changes.empty())
        log += "\nNo differences.\n";
    const std::size_t first = before.at(species::Kind::BaseStats).size();
    const std::size_t second = after.at(species::Kind::BaseStats).size();
    if (first != second)
        log += "\nEntries " + std::to_string(std::min(first, second)) + " to " +
               std::to_string(std::max(first, second) - 1) + " are only in " +
               imageName(first > second ? from : to) + ".\n";
    for (const std::string& note : notes)
        log += "\n" + note + "\n";
    return log;
}

} // namespace tables
