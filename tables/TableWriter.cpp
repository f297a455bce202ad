#include "TableWriter.h"

#include "CsvReader.h"
#include "Json.h"

#include "EntryRules.h"
#include "FieldLayout.h"

namespace cli {

std::string csvHeader() {
    std::string header = "position,species";
    for (const species::FieldDescriptor& field : species::fieldLayout())
        header += "," + std::string(field.key);
    return header;
}

std::string toCsv(const ImageTable& image) {
    std::string text = csvHeader() + "\n";
    const auto count = static_cast<int>(image.entries.size());
    for (int position = 0; position < count; ++position) {
        text += std::to_string(position) + "," + csv::quote(speciesName(position));
        for (const int value : image.entries[static_cast<std::size_t>(position)])
            text += "," + std::to_string(value);
        text += "\n";
    }
    return text;
}

std::string toJson(const ImageTable& image) {
    std::string text = "{\n";
    text += "  \"game_code\": " + json::quote(image.edition->code) + ",\n";
    text += "  \"game\": " + json::quote(image.edition->title) + ",\n";
    text += "  \"language\": " + json::quote(image.edition->language) + ",\n";
    text += "  \"entries\": [\n";
    const auto count = static_cast<int>(image.entries.size());
    for (int position = 0; position < count; ++position) {
        const species::FieldValues& values = image.entries[static_cast<std::size_t>(position)];
        text += "    {\n      \"position\": " + std::to_string(position) + ",\n";
        text += "      \"species\": " + json::quote(speciesName(position));
        for (const species::FieldDescriptor& field : species::fieldLayout()) {
            const int value = values[static_cast<std::size_t>(field.field)];
            const std::string key(field.key);
            text += ",\n      \"" + key + "\": " + std::to_string(value);
            if (const std::optional<std::string> shown = listText(field.field, value))
                text += ",\n      \"" + key + "_text\": " + json::quote(*shown);
        }
        text += position + 1 < count ? "\n    },\n" : "\n    }\n";
    }
    return text + "  ]\n}\n";
}

} // namespace cli
