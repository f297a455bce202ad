// Writes a starting corpus for each fuzz target into the folder given: exported tables,
// headers with supported codes, hex texts, records and a small image with a file system.
#include "ImageTable.h"
#include "TableWriter.h"

#include "EntryRules.h"
#include "FieldLayout.h"

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

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A NARC of `members` records of 44 bytes, as the games keep their base-stat tables.
std::string narc(int members) {
    const std::size_t allocation = 12 + 8 * std::size_t(members);
    std::string archive =
        "NARC" + std::string(12, '\0') + "BTAF" + std::string(allocation - 4, '\0');
    put16(archive, 4, 0xFFFE);
    put16(archive, 12, 16);
    put16(archive, 14, 3);
    put32(archive, 20, static_cast<std::uint32_t>(allocation));
    put16(archive, 24, static_cast<std::uint16_t>(members));
    for (int i = 0; i < members; ++i) {
        put32(archive, 28 + 8 * std::size_t(i), static_cast<std::uint32_t>(44 * i));
        put32(archive, 32 + 8 * std::size_t(i), static_cast<std::uint32_t>(44 * (i + 1)));
    }
    archive += std::string("BTNF\x10\0\0\0\x04\0\0\0\0\0\x01\0", 16);
    archive += "GMIF" + std::string(4, '\0');
    put32(archive, archive.size() - 4, static_cast<std::uint32_t>(8 + 44 * members));
    for (int i = 0; i < 44 * members; ++i)
        archive += static_cast<char>(i * 7 / 44);
    return archive;
}

// An image with a file system holding the archives of all three games: the name table at
// 0x200, the allocation table at 0x300 and the archives from 0x400 on.
std::string threeGames(const char* code) {
    std::string names(32, '\0');
    const std::string listings[] = {
        std::string("\x88poketool\x01\xF0\0", 12),
        std::string("\x88personal\x02\xF0\x8Epersonal_pearl\x03\xF0\0", 29),
        "\x0Dpersonal.narc\x10pl_personal.narc" + std::string(1, '\0'),
        "\x0Dpersonal.narc" + std::string(1, '\0'),
    };
    const std::uint16_t firstFile[] = {3, 3, 0, 2};
    for (std::size_t d = 0; d < 4; ++d) {
        put32(names, d * 8, static_cast<std::uint32_t>(names.size()));
        put16(names, d * 8 + 4, firstFile[d]);
        put16(names, d * 8 + 6, d == 0 ? 4 : 0xF000);
        names += listings[d];
    }
    const std::string archives[] = {narc(501), narc(508), narc(501)};
    std::string image(0x400, '\0');
    image.replace(12, 4, code);
    image.replace(0x200, names.size(), names);
    put32(image, 0x40, 0x200);
    put32(image, 0x44, static_cast<std::uint32_t>(names.size()));
    put32(image, 0x48, 0x300);
    put32(image, 0x4C, 24);
    for (std::size_t id = 0; id < 3; ++id) {
        put32(image, 0x300 + 8 * id, static_cast<std::uint32_t>(image.size()));
        put32(image, 0x304 + 8 * id,
              static_cast<std::uint32_t>(image.size() + archives[id].size()));
        image += archives[id];
        image.resize((image.size() + 0x1FF) & ~std::size_t(0x1FF), '\0');
    }
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    const fs::path root = argv[1];
    cli::ImageTable table{"image.nds", rom::findEdition("ADAE"), {}, {}};
    table.entries.assign(species::kSpeciesCount, species::FieldValues{});
    for (int position = 0; position < species::kSpeciesCount; ++position)
        for (std::size_t f = 0; f < species::kFieldCount; ++f)
            table.entries[std::size_t(position)][f] = (position * 7 + int(f) * 13) % 17;
    const std::string csv = cli::toCsv(table);
    put(root / "table_csv", "export.csv", csv);
    put(root / "table_csv", "header.csv", cli::csvHeader() + "\r\n");
    put(root / "table_csv", "quoted.csv",
        "\xEF\xBB\xBF" + cli::csvHeader() + "\n\"0\",\"Bulba\"\"saur\",1\n");
    put(root / "table_json", "export.json", cli::toJson(table));
    put(root / "table_json", "bare.json",
        "[{\"position\": 0, \"species\": \"Bulbasaur\", \"hp\": 1.5e3}]");
    put(root / "identify", "three_games.nds", threeGames("CPUJ"));
    put(root / "filesystem", "three_games.nds", threeGames("ADAE"));
    put(root / "identify", "header.nds", std::string(12, '\0') + "CPUJ");
    put(root / "identify", "short.nds", "ADAE");
    for (const char* hex : {"0A", "ABC", "ff", "2C01", "", "zz"})
        put(root / "hex", std::string("hex_") + (*hex ? hex : "empty"), hex);
    put(root / "record", "record.bin",
        std::string("\x2D\x31\x23\x2D\x41\x41\x0C\x03\x2D\x40\x00\x00\xC3\x01\xFF\xFF", 16) +
            std::string(28, '\x7F'));
    put(root / "record", "stat.txt", "12.5");
    return 0;
}
