#include "TableImport.h"

#include "Columns.h"
#include "base/Text.h"
#include "species/EggMoveRules.h"
#include "species/EvolutionRules.h"
#include "species/LearnsetRules.h"
#include "species/ValueRules.h"
#include "species/Vocabulary.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace tables {
namespace {

class Planner {
public:
    Planner(std::span<const species::Record> entries, std::span<const species::Record> evolutions,
            nds::Game game, ImportPlan& plan)
        : m_entries(entries), m_evolutions(evolutions), m_game(game), m_plan(plan) {}

    void row(const InputRow& row) {
        const std::optional<int> position = positionOf(row);
        if (!position)
            return;
        const species::Record& now = m_entries[static_cast<std::size_t>(*position)];
        // A table may lack the columns that came after the main window's: those bits stay.
        for (const species::Part part :
             {species::Part::Main, species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part)) {
                const auto found = row.cells.find(std::string(field.key));
                if (found == row.cells.end())
                    continue; // a column the table leaves out: the field stays as it is
                if (field.field == species::Field::Colour && !row.cells.count("flip"))
                    wholeColourByte(row, *position, now, found->second);
                else if (const std::optional<int> after =
                             fieldValue(*position, field, found->second, now))
                    checkCompanion(row, field, *after);
            }
        tmHmFlags(row, *position, now);
        evolutions(row, *position);
    }

private:
    [[nodiscard]] int entries() const { return static_cast<int>(m_entries.size()); }

    void problem(const Cell& cell, std::string message) {
        m_plan.problems.add(tables::problem(cell.line, cell.name, std::move(message)));
    }

    std::optional<int> positionOf(const InputRow& row) {
        const auto cell = row.cells.find("position");
        if (cell == row.cells.end())
            return std::nullopt;
        const base::Result<WholeNumber> number = wholeNumber(cell->second);
        if (!number.ok()) {
            m_plan.problems.add(number.error());
            return std::nullopt;
        }
        const long position = number.value().value;
        if (position < 0 || position >= entries()) {
            problem(cell->second,
                    number.value().text + " is not between 0 and " + std::to_string(entries() - 1));
            return std::nullopt;
        }
        const auto [earlier, fresh] = m_rowOf.emplace(static_cast<int>(position), &row);
        if (!fresh) {
            const InputRow& first = *earlier->second;
            problem(cell->second, std::to_string(position) + " was given already " +
                                      (first.line > 0 ? "on line " + std::to_string(first.line)
                                                      : "in " + first.name));
            return std::nullopt;
        }
        const auto name = row.cells.find("species");
        if (name == row.cells.end())
            return static_cast<int>(position);
        if (const std::optional<std::string> wrong =
                species::misnamed(static_cast<int>(position), name->second.text)) {
            problem(name->second, *wrong + ": are the rows shifted?");
            return std::nullopt;
        }
        return static_cast<int>(position);
    }

    void change(int position, species::Field field, const species::Record& now, int after) {
        if (const int before = now.get(field); after != before)
            m_plan.changes.push_back({position, field, before, after});
    }

    // The value in `cell` of a list field: its number, or the name of an entry of the list in
    // this game. Nothing, and a problem, when it is neither.
    std::optional<WholeNumber> listValue(const species::FieldDescriptor& field, const Cell& cell) {
        const std::vector<int> named = vocabulary::entriesNamed(field.list, cell.text, m_game);
        if (named.size() == 1)
            return WholeNumber{named.front(), base::quoted(cell.text)};
        const std::string noun(vocabulary::entryNoun(field.list));
        if (named.empty()) {
            const auto nearest = [list = field.list, text = cell.text, game = m_game] {
                std::string names;
                for (const std::string& name : vocabulary::nearestNames(list, text, game))
                    names += (names.empty() ? "" : ", ") + name;
                return "; the nearest names are " + names;
            };
            m_plan.problems.add(
                tables::problem(cell.line, cell.name,
                                base::quoted(cell.text) + " is neither a number nor " +
                                    vocabulary::withArticle(noun) + " of this game"),
                nearest);
        } else {
            problem(cell, base::quoted(cell.text) + " names " + std::to_string(named.size()) +
                              " entries of the " + noun + " list (" +
                              std::to_string(named.front()) + ", " + std::to_string(named[1]) +
                              "...): give its number");
        }
        return std::nullopt;
    }

    // The value of `field` in `cell`: a whole number, or for a list the name of an entry.
    std::optional<WholeNumber> valueOf(const species::FieldDescriptor& field, const Cell& cell) {
        base::Result<WholeNumber> number = wholeNumber(cell);
        if (number.ok())
            return number.value();
        const bool text = cell.kind == Cell::Kind::Field || cell.kind == Cell::Kind::String;
        if (!field.isNumber() && text)
            return listValue(field, cell);
        m_plan.problems.add(number.error());
        return std::nullopt;
    }

    // The value of `field` in `cell`, as the value rules allow it, planned as a change.
    std::optional<int> fieldValue(int position, const species::FieldDescriptor& field,
                                  const Cell& cell, const species::Record& now) {
        const std::optional<WholeNumber> number = valueOf(field, cell);
        if (!number)
            return std::nullopt;
        const long value = number->value;
        if (const std::optional<std::string> refused = species::refusal(
                field, position, value, number->text, now.get(field.field), m_game)) {
            problem(cell, *refused);
            return std::nullopt;
        }
        change(position, field.field, now, static_cast<int>(value));
        return static_cast<int>(value);
    }

    // Tables written before the flip column existed hold the whole byte 25 as the colour: a
    // colour of 128 or more carries the sprite flag as well.
    void wholeColourByte(const InputRow& row, int position, const species::Record& now,
                         const Cell& cell) {
        const species::FieldDescriptor& colour = species::descriptor(species::Field::Colour);
        const base::Result<WholeNumber> number = wholeNumber(cell);
        if (!number.ok()) { // a colour's name, without the flag
            if (const std::optional<int> after = fieldValue(position, colour, cell, now))
                checkCompanion(row, colour, *after);
            return;
        }
        const long value = number.value().value;
        const bool flagged = value >= 128 && value <= 255;
        const long bits = flagged ? value & 0x7F : value;
        if (value < 0 || value > 255 ||
            species::refusal(colour, position, bits, std::to_string(bits),
                             now.get(species::Field::Colour), m_game)) {
            const int last = vocabulary::size(colour.list, m_game) - 1;
            problem(cell, number.value().text +
                              " is no colour: without a flip column, colour is 0 to " +
                              std::to_string(last) + ", or 128 to " + std::to_string(128 + last) +
                              " with the sprite flag");
            return;
        }
        change(position, species::Field::Colour, now, static_cast<int>(bits));
        if (flagged)
            change(position, species::Field::Flip, now, 1);
        checkCompanion(row, colour, static_cast<int>(bits));
    }

    // The tm_hm column names the flags set: every other flag is clear.
    void tmHmFlags(const InputRow& row, int position, const species::Record& now) {
        const auto cell = row.cells.find(std::string(kTmHmColumn));
        if (cell == row.cells.end())
            return;
        // A CSV cell is always text; JSON takes only an array of names.
        if (cell->second.kind != Cell::Kind::Field && cell->second.kind != Cell::Kind::List) {
            problem(cell->second,
                    "must be an array of TM and HM names, such as [\"TM01\", \"HM04\"]");
            return;
        }
        const base::Result<std::vector<int>> flags = parseTmHmNames(cell->second.text);
        if (!flags.ok()) {
            problem(cell->second, flags.error().reason);
            return;
        }
        std::vector<bool> set(species::kTmHmCount, false);
        for (const int n : flags.value())
            set[static_cast<std::size_t>(n)] = true;
        for (int n = 0; n < species::kTmHmCount; ++n)
            change(position, species::tmHm(n), now, set[static_cast<std::size_t>(n)] ? 1 : 0);
        const auto moves = row.cells.find(std::string(kTmHmColumn) + "_text");
        if (moves == row.cells.end())
            return;
        std::string expected;
        for (const int n : flags.value())
            expected +=
                (expected.empty() ? "" : " ") + std::string(vocabulary::tmHmMove(n, m_game));
        if (moves->second.text != expected)
            problem(moves->second, "names other moves than tm_hm teaches: change tm_hm, the text "
                                   "is only shown");
    }

    // An edited list text with an unedited number would be silently lost: refuse it.
    void checkCompanion(const InputRow& row, const species::FieldDescriptor& field, int value) {
        if (field.isNumber())
            return;
        const std::string column = std::string(field.key) + "_text";
        const auto cell = row.cells.find(column);
        if (cell == row.cells.end())
            return;
        const std::optional<std::string> shown = vocabulary::text(field.list, value, m_game);
        if (cell->second.kind != Cell::Kind::Field && cell->second.kind != Cell::Kind::String)
            problem(cell->second, "must be a string");
        else if (shown && cell->second.text != *shown)
            problem(cell->second, "says " + base::quoted(cell->second.text) + ", but " +
                                      std::string(field.key) + " " + std::to_string(value) +
                                      " is \"" + *shown +
                                      "\": change the number, the text is only shown");
    }

    // An evolution table's columns: each slot judged whole, under the method it will have, as
    // the window judges it; a slot whose method becomes 0 is emptied, and the text of the
    // slots, where given, checked against the numbers.
    void evolutions(const InputRow& row, int position) {
        const auto first = std::find_if(row.cells.begin(), row.cells.end(), [](const auto& cell) {
            return cell.first.starts_with("evo") || cell.first == kEvolutionsTextColumn;
        });
        if (first == row.cells.end())
            return;
        if (static_cast<std::size_t>(position) >= m_evolutions.size()) {
            problem(first->second, "the image has no evolution table to take it");
            return;
        }
        const species::Record& now = m_evolutions[static_cast<std::size_t>(position)];
        species::Record after = now;
        bool numbers = true;
        for (int slot = 0; slot < species::kEvolutionSlots; ++slot)
            for (const species::SlotPart part : kSlotParts)
                if (const std::optional<int> value = slotValue(row, slot, part, numbers))
                    after.set(species::evolution(slot, part), *value);
        if (!numbers)
            return;
        species::emptySlotsWithoutMethod(now, after);
        for (int slot = 0; slot < species::kEvolutionSlots; ++slot) {
            if (const std::optional<std::string> refused =
                    species::slotRefusal(now, after, slot, position, m_game)) {
                const Cell* at = slotCell(row, slot);
                problem(at ? *at : first->second, *refused);
                continue;
            }
            for (const species::SlotPart part : kSlotParts) {
                const species::Field field = species::evolution(slot, part);
                change(position, field, now, after.get(field));
            }
        }
        const auto text = row.cells.find(std::string(kEvolutionsTextColumn));
        if (text != row.cells.end() && !base::trimmed(text->second.text).empty() &&
            text->second.text != species::evolutionsText(after, m_game))
            problem(text->second, "says " + base::quoted(text->second.text) +
                                      ", but the slots are " +
                                      base::quoted(species::evolutionsText(after, m_game)) +
                                      ": change the numbers, the text is only shown");
    }

    static constexpr species::SlotPart kSlotParts[] = {
        species::SlotPart::Method, species::SlotPart::Parameter, species::SlotPart::Target};

    // The first cell the row has of `slot`: where a problem of the slot is said.
    static const Cell* slotCell(const InputRow& row, int slot) {
        for (const species::SlotPart part : kSlotParts) {
            const auto cell = row.cells.find(
                std::string(species::descriptor(species::evolution(slot, part)).key));
            if (cell != row.cells.end())
                return &cell->second;
        }
        return nullptr;
    }

    // The number in the cell of `part` of `slot`, if the row has one; a problem, and `numbers`
    // false, if it holds no number of 16 bits.
    std::optional<int> slotValue(const InputRow& row, int slot, species::SlotPart part,
                                 bool& numbers) {
        const species::Field field = species::evolution(slot, part);
        const auto cell = row.cells.find(std::string(species::descriptor(field).key));
        if (cell == row.cells.end())
            return std::nullopt;
        const base::Result<WholeNumber> number = wholeNumber(cell->second);
        if (!number.ok()) {
            m_plan.problems.add(number.error());
            numbers = false;
            return std::nullopt;
        }
        const long value = number.value().value;
        if (value < 0 || value > 65535) {
            problem(cell->second, number.value().text + " is not between 0 and 65535");
            numbers = false;
            return std::nullopt;
        }
        return static_cast<int>(value);
    }

    std::span<const species::Record> m_entries;
    std::span<const species::Record> m_evolutions;
    nds::Game m_game;
    ImportPlan& m_plan;
    std::map<int, const InputRow*> m_rowOf; // position -> its row
};

} // namespace

namespace {

// A table of moves, the learnsets' or the egg moves': each entry's rows (or, in JSON, its
// "moves" or "egg_moves") give its whole list, which replaces the one it has; entries without
// rows keep theirs.
class MoveListPlanner {
public:
    MoveListPlanner(species::Kind kind, std::span<const species::Record> records, nds::Game game,
                    ImportPlan& plan)
        : m_kind(kind), m_field(kind == species::Kind::Learnsets ? species::Field::Learnset
                                                                 : species::Field::EggMoves),
          m_records(records), m_game(game), m_plan(plan) {}

    void row(const InputRow& row) {
        const auto cellOf = [&](std::string_view name) -> const Cell* {
            const auto found = row.cells.find(std::string(name));
            return found == row.cells.end() ? nullptr : &found->second;
        };
        const std::optional<int> position = positionOf(row, cellOf("position"), cellOf("species"));
        if (!position)
            return;
        std::vector<int>& list = m_lists[*position];
        m_cells.try_emplace(*position, row.cells.begin()->second);
        if (m_kind == species::Kind::EggMoves) {
            if (const Cell* moves = cellOf(kEggMovesMember))
                return listOf(*moves, list);
            if (const Cell* move = cellOf("move"); move && !base::trimmed(move->text).empty())
                eggMoveOf(*move, list);
            return;
        }
        if (const Cell* moves = cellOf(kMovesMember))
            return listOf(*moves, list);
        const Cell* level = cellOf("level");
        const Cell* move = cellOf("move");
        if (!level || !move)
            return;
        if (base::trimmed(level->text).empty() && base::trimmed(move->text).empty())
            return; // an entry without moves
        const base::Result<WholeNumber> number = wholeNumber(*level);
        if (!number.ok())
            return m_plan.problems.add(number.error());
        if (number.value().value < 0 || number.value().value > 127)
            return problem(*level, number.value().text + " is not between 1 and 100");
        base::Result<std::vector<int>> entry = species::parseLearnset(
            number.value().text + " " + std::string(base::trimmed(move->text)));
        if (!entry.ok())
            return problem(*move, base::quoted(move->text) + " is neither a number nor a move");
        list.push_back(entry.value().front());
    }

    // The changes of the lists given, judged by the kind's rules, and the egg moves as a whole
    // by the room of the game's list.
    void finish() {
        species::EggMoves eggMoves;
        for (std::size_t position = 0; position < m_records.size(); ++position)
            if (species::editsEggMoves(static_cast<int>(position)))
                eggMoves[species::eggSpeciesOf(static_cast<int>(position))] =
                    m_records[position].value(m_field).items();
        for (auto& [position, list] : m_lists) {
            const std::vector<int> now =
                m_records[static_cast<std::size_t>(position)].value(m_field).items();
            if (list == now)
                continue;
            // A learnset that is edited is kept in ascending order of level; egg moves are
            // kept in the order given.
            const std::vector<int> after =
                m_kind == species::Kind::Learnsets ? species::inLevelOrder(list) : list;
            const std::optional<std::string> refused =
                m_kind == species::Kind::Learnsets ? species::learnsetRefusal(position, now, after)
                                                   : species::eggMoveRefusal(position, now, after);
            if (refused) {
                problem(m_cells.at(position), vocabulary::entryLabel(position) + ": " + *refused);
                continue;
            }
            if (m_kind == species::Kind::EggMoves)
                eggMoves[species::eggSpeciesOf(position)] = after;
            m_plan.changes.push_back(
                {position, m_field, species::Value::list(now), species::Value::list(after)});
        }
        if (m_kind == species::Kind::EggMoves && !m_plan.changes.empty())
            if (const std::optional<std::string> refused =
                    species::eggListRefusal(eggMoves, species::eggListBound(m_game)))
                m_plan.problems.add(tables::problem(0, "", *refused));
    }

private:
    void problem(const Cell& cell, std::string message) {
        m_plan.problems.add(tables::problem(cell.line, cell.name, std::move(message)));
    }

    std::optional<int> positionOf(const InputRow& row, const Cell* position, const Cell* name) {
        if (!position)
            return std::nullopt;
        const base::Result<WholeNumber> number = wholeNumber(*position);
        if (!number.ok()) {
            m_plan.problems.add(number.error());
            return std::nullopt;
        }
        const long value = number.value().value;
        if (value < 0 || static_cast<std::size_t>(value) >= m_records.size()) {
            problem(*position, number.value().text + " is not between 0 and " +
                                   std::to_string(m_records.size() - 1));
            return std::nullopt;
        }
        if (name)
            if (const std::optional<std::string> wrong =
                    species::misnamed(static_cast<int>(value), name->text)) {
                problem(*name, *wrong + ": are the rows shifted?");
                return std::nullopt;
            }
        // An entry's rows may come apart in CSV; in JSON an entry is one object.
        if (!row.name.empty() && !m_seen.insert(static_cast<int>(value)).second) {
            problem(*position, std::to_string(value) + " was given already");
            return std::nullopt;
        }
        return static_cast<int>(value);
    }

    // An egg move's cell: a move's name or number.
    void eggMoveOf(const Cell& cell, std::vector<int>& list) {
        base::Result<std::vector<int>> move = species::parseEggMoves(cell.text);
        if (!move.ok() || move.value().size() != 1)
            return problem(cell, base::quoted(cell.text) + " is neither a number nor a move");
        list.push_back(move.value().front());
    }

    // A JSON entry's list: an array of strings, each a level and a move, or an egg move.
    void listOf(const Cell& moves, std::vector<int>& list) {
        const bool levels = m_kind == species::Kind::Learnsets;
        if (moves.kind != Cell::Kind::List)
            return problem(moves, levels ? "must be an array of moves, such as [\"1 Tackle\", "
                                           "\"4 Growl\"]"
                                         : "must be an array of moves, such as [\"Bite\"]");
        for (const std::string& item : moves.items) {
            if (!levels) {
                base::Result<std::vector<int>> move = species::parseEggMoves(item);
                if (!move.ok() || move.value().size() != 1)
                    return problem(moves, base::quoted(item) + " is no move, such as \"Bite\"");
                list.push_back(move.value().front());
                continue;
            }
            base::Result<std::vector<int>> entry = species::parseLearnset(item);
            if (!entry.ok() || entry.value().size() != 1)
                return problem(moves, base::quoted(item) + " is no level and move, such as \"12 "
                                                           "Bite\"");
            list.push_back(entry.value().front());
        }
    }

    species::Kind m_kind;
    species::Field m_field;
    std::span<const species::Record> m_records;
    nds::Game m_game;
    ImportPlan& m_plan;
    std::map<int, std::vector<int>> m_lists;
    std::map<int, Cell> m_cells; // the first cell of each entry's rows, where problems are said
    std::set<int> m_seen;
};

// The kind of list `input` gives, when its rows give moves: a learnset has levels.
std::optional<species::Kind> moveListOf(const InputTable& input) {
    const auto has = [&](std::string_view name) {
        return std::any_of(input.rows.begin(), input.rows.end(), [&](const InputRow& row) {
            return row.cells.count(std::string(name)) != 0;
        });
    };
    if (has(kMovesMember) || (has("move") && has("level")))
        return species::Kind::Learnsets;
    if (has(kEggMovesMember) || has("move"))
        return species::Kind::EggMoves;
    return std::nullopt;
}

ImportPlan planTable(const InputTable& input, const species::Tables& tables, nds::Game game,
                     const std::function<bool()>& cancelled);

} // namespace

ImportPlan planImport(const InputTable& input, const species::Tables& tables, nds::Game game,
                      const std::function<bool()>& cancelled) {
    if (const std::optional<species::Kind> kind = moveListOf(input)) {
        ImportPlan plan;
        plan.problems = input.problems;
        const auto table = tables.find(*kind);
        if (table == tables.end()) {
            plan.problems.add(problem(0, "",
                                      *kind == species::Kind::Learnsets
                                          ? "the image has no learnset table to take it"
                                          : "the image has no list of egg moves to take it"));
            return plan;
        }
        MoveListPlanner planner(*kind, table->second, game, plan);
        for (const InputRow& row : input.rows) {
            if (cancelled && cancelled())
                break;
            planner.row(row);
        }
        planner.finish();
        return plan;
    }
    return planTable(input, tables, game, cancelled);
}

namespace {

ImportPlan planTable(const InputTable& input, const species::Tables& tables, nds::Game game,
                     const std::function<bool()>& cancelled) {
    ImportPlan plan;
    plan.problems = input.problems;
    const auto of = [&](species::Kind kind) {
        const auto table = tables.find(kind);
        return table == tables.end() ? std::span<const species::Record>()
                                     : std::span<const species::Record>(table->second);
    };
    Planner planner(of(species::Kind::BaseStats), of(species::Kind::Evolutions), game, plan);
    for (const InputRow& row : input.rows) {
        if (cancelled && cancelled())
            break;
        planner.row(row);
    }
    species::sortChanges(plan.changes);
    return plan;
}

} // namespace

} // namespace tables
