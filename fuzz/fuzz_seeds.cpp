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

// A header pointing to a name table, an allocation table of two files, and a NARC whose
// entry 1 starts at 0x200 + 0x100 (the base the identify target derives from bytes 0-1).
std::string smallImage() {
    std::string image(0x2000, '\0');
    image[0] = 0x00;
    image[1] = 0x01;
    image.replace(12, 4, "ADAE");
    put32(image, 0x40, 0x100);
    put32(image, 0x44, 0x20);
    put32(image, 0x48, 0x180);
    put32(image, 0x4C, 16);
    const std::string fnt = std::string("\x08\x00\x00\x00\x00\x00\x01\x00", 8) + "\x05"
                                                                                 "a.bin"
                                                                                 "\x00";
    image.replace(0x100, fnt.size(), fnt);
    const int entries = 3;
    const std::size_t narc = 0x300 - (16 + 12 + 8 * entries + 16 + 8) - 44;
    put32(image, 0x180, 0x1F00);
    put32(image, 0x184, 0x1F10);
    put32(image, 0x188, static_cast<std::uint32_t>(narc));
    put32(image, 0x18C, static_cast<std::uint32_t>(narc + 0x200));
    std::string archive("NARC\xFE\xFF\x00\x01", 8);
    archive += std::string(8, '\0');
    archive[12] = 16;
    archive[14] = 3;
    archive += "BTAF" + std::string(8 + 8 * entries, '\0');
    put32(archive, 20, 12 + 8 * entries);
    archive[24] = entries;
    for (int i = 0; i < entries; ++i) {
        put32(archive, 28 + 8 * i, 44 * i);
        put32(archive, 32 + 8 * i, 44 * (i + 1));
    }
    archive += std::string("BTNF\x10\x00\x00\x00", 8) + std::string(8, '\0');
    archive += std::string("GMIF\x00\x00\x00\x00", 8);
    image.replace(narc, archive.size(), archive);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2)
        return 2;
    const fs::path root = argv[1];
    cli::ImageTable table{"image.nds", rom::findEdition("ADAE"), {}};
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
    put(root / "identify", "small.nds", smallImage());
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
