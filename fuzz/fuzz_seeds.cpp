// Writes a starting corpus for each fuzz target into the folder given: exported tables,
// headers with supported codes, records and a small image with a file system.
#include "nds/NdsImageBuilder.h"
#include "species/SampleImage.h"
#include "tables/TableWriter.h"

#include "files/Journal.h"
#include "species/EggMoveRules.h"
#include "species/EntryRules.h"
#include "species/FieldLayout.h"
#include "tables/PatchFormat.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// An image whose file system holds the archives of all five games, each of 44-byte records.
std::string everyGame(const char* code) {
    const auto archive = [](int members) {
        std::vector<files::Bytes> records;
        for (int i = 0; i < members; ++i)
            records.emplace_back(species::kRecordSize, static_cast<std::uint8_t>(i));
        return nds::buildNarc(records);
    };
    const files::Bytes image =
        nds::buildNdsImage("SEED", code,
                           {{"/poketool/personal/personal.narc", archive(501)},
                            {"/poketool/personal/pl_personal.narc", archive(508)},
                            {"/poketool/personal_pearl/personal.narc", archive(501)},
                            {"/a/0/0/2", archive(508)},
                            {"/pbr/personal.narc", archive(501)}});
    return std::string(image.begin(), image.end());
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    const fs::path root = argv[1];
    std::vector<species::Record> entries;
    for (int position = 0; position < species::kSpeciesCount; ++position)
        entries.push_back(species::sampleEntry(position));
    const std::string csv = tables::toCsv(entries);
    put(root / "table_csv", "export.csv", csv);
    put(root / "table_csv", "header.csv", tables::csvHeader() + "\r\n");
    put(root / "table_csv", "quoted.csv",
        "\xEF\xBB\xBF" + tables::csvHeader() + "\n\"0\",\"Bulba\"\"saur\",1\n");
    put(root / "table_json", "export.json", tables::toJson(*nds::findEdition("ADAE"), entries));
    std::vector<species::Record> learnsets;
    std::vector<species::Record> eggMoves;
    for (int position = 0; position < species::kSpeciesCount; ++position) {
        learnsets.push_back(species::sampleLearnset(position));
        species::Record moves(files::Bytes{0xFF, 0xFF});
        moves.set(species::Field::EggMoves,
                  species::Value::list(species::sampleEggMoves(species::eggSpeciesOf(position))));
        eggMoves.push_back(moves);
    }
    put(root / "table_csv", "learnsets.csv",
        tables::learnsetsToCsv(learnsets, tables::ListValues::Names));
    put(root / "table_csv", "egg_moves.csv",
        tables::eggMovesToCsv(eggMoves, tables::ListValues::Names));
    put(root / "table_json", "egg_moves.json",
        tables::eggMovesToJson(*nds::findEdition("IPKE"), eggMoves));
    put(root / "table_json", "bare.json",
        "[{\"position\": 0, \"species\": \"Bulbasaur\", \"hp\": 1.5e3}]");
    put(root / "identify", "every_game.nds", everyGame("CPUJ"));
    put(root / "filesystem", "every_game.nds", everyGame("ADAE"));
    for (const char* code : {"APAE", "IPGE"}) {
        const files::Bytes sample = species::sampleImage(*nds::findEdition(code));
        put(root / "filesystem", std::string("sample_") + code + ".nds",
            std::string(sample.begin(), sample.end()));
    }
    put(root / "identify", "header.nds", std::string(12, '\0') + "CPUJ");
    put(root / "identify", "short.nds", "ADAE");
    put(root / "record", "record.bin",
        std::string("\x2D\x31\x23\x2D\x41\x41\x0C\x03\x2D\x40\x00\x00\xC3\x01\xFF\xFF", 16) +
            std::string(28, '\x7F'));
    put(root / "record", "stat.txt", "12.5");
    species::Patch patch{"ADAE", "Pokémon Diamond", {}};
    patch.changes.push_back({444, species::Field::Speed, 102, 110});
    patch.changes.push_back({444, species::Field::Item1, 0, 1});
    patch.changes.push_back({31, species::tmHm(4), 0, 1});
    put(root / "patch_csv", "patch.csv", tables::patchToCsv(patch));
    put(root / "patch_json", "patch.json", tables::patchToJson(patch));
    files::JournalContent journal{2049, 131,        1 << 20, 1796738400, "import of \"t.csv\"",
                                  {},   "image.nds"};
    journal.spans.push_back({0x1000, files::Bytes(44, 1), files::Bytes(44, 2)});
    journal.spans.push_back({0x2000, files::Bytes(3, 7), files::Bytes(3, 9)});
    const files::Bytes encoded = files::encodeJournal(journal);
    put(root / "journal", "journal.bin", std::string(encoded.begin(), encoded.end()));
    return 0;
}
