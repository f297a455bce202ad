#include "ChangeLog.h"

#include "Change.h"
#include "EvolutionRules.h"
#include "FieldLayout.h"
#include "Vocabulary.h"

#include "Text.h"

#include <algorithm>

namespace tables {
namespace {

using species::Field;

constexpr Field kStats[] = {Field::HP,    Field::Attack,   Field::Defense,
                            Field::Speed, Field::SpAttack, Field::SpDefense};

// "Leftovers", "50% M 50% F", a number, or "Value 600" for what a list has no entry for.
std::string valueText(Field field, int value, nds::Game game) {
    const species::FieldDescriptor& d = species::descriptor(field);
    if (d.isNumber())
        return std::to_string(value);
    if (const std::optional<std::string> name = vocabulary::text(d.list, value, game))
        return std::string(base::trimmed(*name));
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
    if (species::descriptor(change.field).part == species::Part::TmHm) {
        const int n = static_cast<int>(change.field) - static_cast<int>(Field::FirstTmHm);
        return std::string(change.after ? "+" : "-") +
               std::string(species::descriptor(change.field).caption) + " " +
               std::string(vocabulary::tmHmMove(n, to));
    }
    return species::displayName(change.field) + ": " +
           valueText(change.field, change.before, from) + " -> " +
           valueText(change.field, change.after, to);
}

namespace {

// The lines of one entry's block: a field each, the total after the base stats, and the flags.
// The two records of an entry in both images.
struct Pair {
    const species::Record& before;
    const species::Record& after;
};

// "Evolution 1: Level 16 -> Ivysaur became Level 12 -> Ivysaur", once for each slot changed.
void slotLine(const species::Change& change, Pair evolutions, nds::Game from, nds::Game to,
              std::vector<std::string>& lines) {
    if (species::slotPartOf(change.field) != species::SlotPart::Method)
        return; // a slot's three changes make one line, made at its method
    const int slot = species::slotOf(change.field);
    const auto words = [&](const species::Record& record, nds::Game game) {
        const std::string text = species::slotText(record, slot, game);
        return text.empty() ? std::string("(none)") : text;
    };
    lines.push_back("Evolution " + std::to_string(slot + 1) + ": " +
                    words(evolutions.before, from) + " became " + words(evolutions.after, to));
}

std::vector<std::string> entryLines(std::span<const species::Change> changes, Pair records,
                                    Pair evolutions, nds::Game from, nds::Game to) {
    const species::Record& before = records.before;
    const species::Record& after = records.after;
    std::vector<std::string> lines;
    std::string flags;
    for (const species::Change& change : changes) {
        if (species::isEvolution(change.field)) {
            slotLine(change, evolutions, from, to, lines);
            continue;
        }
        if (species::descriptor(change.field).part == species::Part::TmHm) {
            flags += (flags.empty() ? "" : ", ") + describeChange(change, from, to);
            continue;
        }
        lines.push_back(describeChange(change, from, to));
        if (change.field <= Field::SpDefense &&
            (&change == &changes.back() || (&change + 1)->field > Field::SpDefense))
            lines.push_back("Total: " + std::to_string(total(before)) + " -> " +
                            std::to_string(total(after)));
    }
    if (!flags.empty())
        lines.push_back("TM/HM: " + flags);
    return lines;
}

} // namespace

std::string changeLog(const nds::GameEdition& from, std::span<const species::Record> before,
                      const nds::GameEdition& to, std::span<const species::Record> after,
                      LogFormat format, std::span<const species::Record> evolutionsBefore,
                      std::span<const species::Record> evolutionsAfter,
                      std::span<const std::string> notes) {
    const bool markdown = format == LogFormat::Markdown;
    std::string log = (markdown ? "## " : "") + std::string("Changes from ") + imageName(from) +
                      " to " + imageName(to) + "\n";
    std::vector<species::Change> changes = species::changesBetween(before, after);
    const std::vector<species::Change> slots =
        species::slotChangesBetween(evolutionsBefore, evolutionsAfter);
    changes.insert(changes.end(), slots.begin(), slots.end());
    species::sortChanges(changes);
    const species::Record none;
    for (std::size_t i = 0; i < changes.size();) {
        std::size_t j = i;
        while (j < changes.size() && changes[j].position == changes[i].position)
            ++j;
        const int position = changes[i].position;
        const auto at = static_cast<std::size_t>(position);
        // Numbered as players know them: the Pokédex number, the list position and one.
        log += "\n" + std::string(markdown ? "### " : "") + std::to_string(position + 1) + " " +
               vocabulary::entryName(position) + "\n";
        const Pair evolutions{at < evolutionsBefore.size() ? evolutionsBefore[at] : none,
                              at < evolutionsAfter.size() ? evolutionsAfter[at] : none};
        for (const std::string& line :
             entryLines(std::span(changes).subspan(i, j - i), {before[at], after[at]}, evolutions,
                        from.game, to.game))
            log += (markdown ? "- " : "  ") + line + "\n";
        i = j;
    }
    if (changes.empty())
        log += "\nNo differences.\n";
    if (before.size() != after.size()) {
        const std::size_t common = std::min(before.size(), after.size());
        log += "\nEntries " + std::to_string(common) + " to " +
               std::to_string(std::max(before.size(), after.size()) - 1) + " are only in " +
               imageName(before.size() > after.size() ? from : to) + ".\n";
    }
    for (const std::string& note : notes)
        log += "\n" + note + "\n";
    return log;
}

} // namespace tables
