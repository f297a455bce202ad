#include "TableWriter.h"

#include "Columns.h"
#include "Csv.h"

#include "species/EvolutionRules.h"
#include "species/FieldLayout.h"
#include "species/LearnsetRules.h"
#include "species/Vocabulary.h"

#include <nlohmann/json.hpp>

#include <map>
#include <vector>

namespace tables {

std::string csvHeader() {
    std::string header;
    for (const std::string& column : columns())
        header += (header.empty() ? "" : ",") + column;
    return header;
}

namespace {

// The name of a list value, when names are asked for and its list has the value. The steps to
// hatch stay numbers: the list's names are numbers themselves (the steps, not the cycles
// stored), and would read back as other values.
// A name that several entries of its list share ("???") stays a number too, or it would not
// read back.
std::optional<std::string> nameOf(const species::FieldDescriptor& field, int value, nds::Game game,
                                  ListValues values) {
    if (values == ListValues::Numbers || field.isNumber() ||
        field.list == vocabulary::List::HatchSteps)
        return std::nullopt;
    static std::map<std::pair<vocabulary::List, nds::Game>, std::vector<bool>> shared;
    std::vector<bool>& repeated = shared[{field.list, game}];
    if (repeated.empty()) {
        std::map<std::string, int> seen;
        for (int k = 0; k < vocabulary::size(field.list, game); ++k)
            ++seen[*vocabulary::text(field.list, k, game)];
        for (int k = 0; k < vocabulary::size(field.list, game); ++k)
            repeated.push_back(seen[*vocabulary::text(field.list, k, game)] > 1);
    }
    if (value < 0 || value >= static_cast<int>(repeated.size()) ||
        repeated[static_cast<std::size_t>(value)])
        return std::nullopt;
    return vocabulary::text(field.list, value, game);
}

using Json = nlohmann::ordered_json;

// A table as JSON: the image's game, then an object for each of `count` entries, its position
// and name first and the rest as `fill(row, position)` sets it.
template <typename Fill>
std::string jsonTable(const nds::GameEdition& edition, std::size_t count, Fill fill) {
    Json root = Json::object();
    root["game_code"] = edition.code;
    root["game"] = edition.title;
    root["language"] = edition.language;
    Json& rows = root["entries"] = Json::array();
    for (std::size_t position = 0; position < count; ++position) {
        Json row = Json::object();
        row["position"] = position;
        row["species"] = vocabulary::entryName(static_cast<int>(position));
        fill(row, position);
        rows.push_back(std::move(row));
    }
    return root.dump(2) + "\n";
}

} // namespace

std::string toCsv(std::span<const species::Record> entries, nds::Game game, ListValues values) {
    std::string text = csvHeader() + "\n";
    for (std::size_t position = 0; position < entries.size(); ++position) {
        text += std::to_string(position) + "," +
                csv::quote(vocabulary::entryName(static_cast<int>(position)));
        const species::Record& record = entries[position];
        for (const species::Part part :
             {species::Part::Main, species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part)) {
                const int value = record.get(field.field);
                const std::optional<std::string> name = nameOf(field, value, game, values);
                text += "," + (name ? csv::quote(*name) : std::to_string(value));
            }
        text += "," + tmHmNames(tmHmFlags(record)) + "\n";
    }
    return text;
}

std::string toJson(const nds::GameEdition& edition, std::span<const species::Record> entries,
                   ListValues values) {
    return jsonTable(edition, entries.size(), [&](Json& row, std::size_t position) {
        const species::Record& record = entries[position];
        for (const species::Part part :
             {species::Part::Main, species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part)) {
                const int value = record.get(field.field);
                const std::string key(field.key);
                if (const std::optional<std::string> name =
                        nameOf(field, value, edition.game, values))
                    row[key] = *name;
                else
                    row[key] = value;
                if (const std::optional<std::string> shown =
                        vocabulary::text(field.list, value, edition.game))
                    row[key + "_text"] = *shown;
            }
        Json& names = row[std::string(kTmHmColumn)] = Json::array();
        Json& moves = row[std::string(kTmHmColumn) + "_text"] = Json::array();
        for (const int n : tmHmFlags(record)) {
            names.push_back(species::descriptor(species::tmHm(n)).caption);
            moves.push_back(vocabulary::tmHmMove(n, edition.game));
        }
    });
}

std::string evolutionsToCsv(std::span<const species::Record> evolutions, nds::Game game) {
    std::string text;
    for (const std::string& column : evolutionColumns())
        text += (text.empty() ? "" : ",") + column;
    text += "\n";
    for (std::size_t position = 0; position < evolutions.size(); ++position) {
        text += std::to_string(position) + "," +
                csv::quote(vocabulary::entryName(static_cast<int>(position)));
        for (const species::FieldDescriptor& field : species::evolutionLayout())
            text += "," + std::to_string(evolutions[position].get(field.field));
        text += "," + csv::quote(species::evolutionsText(evolutions[position], game)) + "\n";
    }
    return text;
}

std::string evolutionsToJson(const nds::GameEdition& edition,
                             std::span<const species::Record> evolutions) {
    return jsonTable(edition, evolutions.size(), [&](Json& row, std::size_t position) {
        for (const species::FieldDescriptor& field : species::evolutionLayout())
            row[std::string(field.key)] = evolutions[position].get(field.field);
        row[std::string(kEvolutionsTextColumn)] =
            species::evolutionsText(evolutions[position], edition.game);
    });
}

namespace {

// The move of a learnset's entry: its number, or with names its name (a number where no move
// has it).
std::string moveText(int move, ListValues values) {
    return values == ListValues::Names ? species::moveName(move) : std::to_string(move);
}

} // namespace

std::string learnsetsToCsv(std::span<const species::Record> learnsets, ListValues values) {
    std::string text;
    for (const std::string& column : learnsetColumns())
        text += (text.empty() ? "" : ",") + column;
    text += "\n";
    for (std::size_t position = 0; position < learnsets.size(); ++position) {
        const std::string entry = std::to_string(position) + "," +
                                  csv::quote(vocabulary::entryName(static_cast<int>(position)));
        const std::vector<int> words = learnsets[position].value(species::Field::Learnset).items();
        if (words.empty())
            text += entry + ",,\n";
        for (const int word : words) {
            const species::LevelMove move = species::levelMoveOf(word);
            text += entry + "," + std::to_string(move.level) + "," +
                    csv::quote(moveText(move.move, values)) + "\n";
        }
    }
    return text;
}

std::string learnsetsToJson(const nds::GameEdition& edition,
                            std::span<const species::Record> learnsets, ListValues values) {
    return jsonTable(edition, learnsets.size(), [&](Json& row, std::size_t position) {
        Json& moves = row[std::string(kMovesMember)] = Json::array();
        for (const int word : learnsets[position].value(species::Field::Learnset).items()) {
            const species::LevelMove move = species::levelMoveOf(word);
            moves.push_back(std::to_string(move.level) + " " + moveText(move.move, values));
        }
    });
}

std::string eggMovesToCsv(std::span<const species::Record> eggMoves, ListValues values) {
    std::string text;
    for (const std::string& column : eggMoveColumns())
        text += (text.empty() ? "" : ",") + column;
    text += "\n";
    for (std::size_t position = 0; position < eggMoves.size(); ++position) {
        const std::string entry = std::to_string(position) + "," +
                                  csv::quote(vocabulary::entryName(static_cast<int>(position)));
        const std::vector<int> moves = eggMoves[position].value(species::Field::EggMoves).items();
        if (moves.empty())
            text += entry + ",\n";
        for (const int move : moves)
            text += entry + "," + csv::quote(moveText(move, values)) + "\n";
    }
    return text;
}

std::string eggMovesToJson(const nds::GameEdition& edition,
                           std::span<const species::Record> eggMoves, ListValues values) {
    return jsonTable(edition, eggMoves.size(), [&](Json& row, std::size_t position) {
        Json& moves = row[std::string(kEggMovesMember)] = Json::array();
        for (const int move : eggMoves[position].value(species::Field::EggMoves).items())
            moves.push_back(moveText(move, values));
    });
}

} // namespace tables
