#include "TableWriter.h"

#include "Columns.h"
#include "Csv.h"

#include "FieldLayout.h"
#include "Vocabulary.h"

#include <nlohmann/json.hpp>

namespace tables {

std::string csvHeader() {
    std::string header;
    for (const std::string& column : columns())
        header += (header.empty() ? "" : ",") + column;
    return header;
}

std::string toCsv(std::span<const species::Record> entries) {
    std::string text = csvHeader() + "\n";
    for (std::size_t position = 0; position < entries.size(); ++position) {
        text += std::to_string(position) + "," +
                csv::quote(vocabulary::entryName(static_cast<int>(position)));
        const species::Record& record = entries[position];
        for (const species::Part part :
             {species::Part::Main, species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part))
                text += "," + std::to_string(record.get(field.field));
        text += "," + tmHmNames(tmHmFlags(record)) + "\n";
    }
    return text;
}

std::string toJson(const nds::GameEdition& edition, std::span<const species::Record> entries) {
    using Json = nlohmann::ordered_json;
    Json root = Json::object();
    root["game_code"] = edition.code;
    root["game"] = edition.title;
    root["language"] = edition.language;
    Json& rows = root["entries"] = Json::array();
    for (std::size_t position = 0; position < entries.size(); ++position) {
        Json row = Json::object();
        row["position"] = position;
        row["species"] = vocabulary::entryName(static_cast<int>(position));
        const species::Record& record = entries[position];
        for (const species::Part part :
             {species::Part::Main, species::Part::EvYield, species::Part::SpriteFlag})
            for (const species::FieldDescriptor& field : species::fieldsOf(part)) {
                const int value = record.get(field.field);
                const std::string key(field.key);
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
        rows.push_back(std::move(row));
    }
    return root.dump(2) + "\n";
}

} // namespace tables
