#include "GameEdition.h"

#include <array>

namespace nds {
namespace {

constexpr std::size_t kWithFixedBase = 15;

// Diamond and Pearl of one language share one fixed base; Platinum has its own.
constexpr std::array<GameEdition, 38> kEditions{{
    {"ADAE", "Pokémon Diamond", "English", 0x1C15A08, Game::Diamond},
    {"APAE", "Pokémon Pearl", "English", 0x1C15A08, Game::Pearl},
    {"ADAS", "Pokémon Diamante", "Español", 0x1BE6E08, Game::Diamond},
    {"APAS", "Pokémon Perla", "Español", 0x1BE6E08, Game::Pearl},
    {"ADAD", "Pokémon Diamant", "Deutsch", 0x1C0EE08, Game::Diamond},
    {"APAD", "Pokémon Perl", "Deutsch", 0x1C0EE08, Game::Pearl},
    {"ADAF", "Pokémon Diamant", "Français", 0x1C02208, Game::Diamond},
    {"APAF", "Pokémon Perla", "Français", 0x1C02208, Game::Pearl},
    {"ADAI", "Pokémon Diamante", "Italiano", 0x1BF5408, Game::Diamond},
    {"APAI", "Pokémon Perla", "Italiano", 0x1BF5408, Game::Pearl},
    {"ADAK", "Pokémon Diamond", "Korean", 0x1B01008, Game::Diamond},
    {"APAK", "Pokémon Pearl", "Korean", 0x1B01008, Game::Pearl},
    {"ADAJ", "Pokémon Diamond", "Japanese", 0x1C6FA08, Game::Diamond},
    {"APAJ", "Pokémon Pearl", "Japanese", 0x1C6FA08, Game::Pearl},
    {"CPUJ", "Pokémon Platinum", "Japanese", 0x37F3C08, Game::Platinum},
    // Known only through their file system.
    {"ADAP", "Pokémon Diamond", "English", 0, Game::Diamond},
    {"APAP", "Pokémon Pearl", "English", 0, Game::Pearl},
    {"CPUE", "Pokémon Platinum", "English", 0, Game::Platinum},
    {"CPUP", "Pokémon Platinum", "English", 0, Game::Platinum},
    {"CPUS", "Pokémon Platino", "Español", 0, Game::Platinum},
    {"CPUD", "Pokémon Platin", "Deutsch", 0, Game::Platinum},
    {"CPUF", "Pokémon Platine", "Français", 0, Game::Platinum},
    {"CPUI", "Pokémon Platino", "Italiano", 0, Game::Platinum},
    {"CPUK", "Pokémon Platinum", "Korean", 0, Game::Platinum},
    {"IPKE", "Pokémon HeartGold Version", "English", 0, Game::HeartGold},
    {"IPKJ", "Pokémon HeartGold", "Japanese", 0, Game::HeartGold},
    {"IPKK", "Pokémon HeartGold", "Korean", 0, Game::HeartGold},
    {"IPKD", "Pokémon Goldene Edition HeartGold", "Deutsch", 0, Game::HeartGold},
    {"IPKF", "Pokémon Version Or HeartGold", "Français", 0, Game::HeartGold},
    {"IPKI", "Pokémon Versione Oro HeartGold", "Italiano", 0, Game::HeartGold},
    {"IPKS", "Pokémon Edición Oro HeartGold", "Español", 0, Game::HeartGold},
    {"IPGE", "Pokémon SoulSilver Version", "English", 0, Game::SoulSilver},
    {"IPGJ", "Pokémon SoulSilver", "Japanese", 0, Game::SoulSilver},
    {"IPGK", "Pokémon SoulSilver", "Korean", 0, Game::SoulSilver},
    {"IPGD", "Pokémon Silberne Edition SoulSilver", "Deutsch", 0, Game::SoulSilver},
    {"IPGF", "Pokémon Version Argent SoulSilver", "Français", 0, Game::SoulSilver},
    {"IPGI", "Pokémon Versione Argento SoulSilver", "Italiano", 0, Game::SoulSilver},
    {"IPGS", "Pokémon Edición Plata SoulSilver", "Español", 0, Game::SoulSilver},
}};

static_assert([] {
    for (std::size_t i = 0; i < kEditions.size(); ++i)
        if (kEditions[i].hasFixedBase() != (i < kWithFixedBase))
            return false;
    return true;
}());

} // namespace

std::string_view gameName(Game game) {
    switch (game) {
    case Game::Diamond:
        return "Diamond";
    case Game::Pearl:
        return "Pearl";
    case Game::Platinum:
        return "Platinum";
    case Game::HeartGold:
        return "HeartGold";
    case Game::SoulSilver:
        break;
    }
    return "SoulSilver";
}

std::span<const GameEdition> fixedBaseEditions() {
    return std::span<const GameEdition>(kEditions).first(kWithFixedBase);
}

std::span<const GameEdition> allEditions() {
    return kEditions;
}

const GameEdition* findEdition(std::string_view code) {
    for (const GameEdition& edition : kEditions)
        if (edition.code == code)
            return &edition;
    return nullptr;
}

} // namespace nds
