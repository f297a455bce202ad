#include "GameEdition.h"

#include <array>

namespace rom {
namespace {

// Diamond and Pearl of one language share one table position; Platinum has its own.
constexpr std::array<GameEdition, 15> kEditions{{
    {"ADAE", "Pokémon Diamond", "English", 0x1C15A08},
    {"APAE", "Pokémon Pearl", "English", 0x1C15A08},
    {"ADAS", "Pokémon Diamante", "Español", 0x1BE6E08},
    {"APAS", "Pokémon Perla", "Español", 0x1BE6E08},
    {"ADAD", "Pokémon Diamant", "Deutsch", 0x1C0EE08},
    {"APAD", "Pokémon Perl", "Deutsch", 0x1C0EE08},
    {"ADAF", "Pokémon Diamant", "Français", 0x1C02208},
    {"APAF", "Pokémon Perla", "Français", 0x1C02208},
    {"ADAI", "Pokémon Diamante", "Italiano", 0x1BF5408},
    {"APAI", "Pokémon Perla", "Italiano", 0x1BF5408},
    {"ADAK", "Pokémon Diamond", "Korean", 0x1B01008},
    {"APAK", "Pokémon Pearl", "Korean", 0x1B01008},
    {"ADAJ", "Pokémon Diamond", "Japanese", 0x1C6FA08},
    {"APAJ", "Pokémon Pearl", "Japanese", 0x1C6FA08},
    {"CPUJ", "Pokémon Platinum", "Japanese", 0x37F3C08},
}};

} // namespace

std::string GameEdition::caption() const {
    return std::string(code) + " - Statwright";
}

std::span<const GameEdition> gameEditions() {
    return kEditions;
}

const GameEdition* findEdition(std::string_view code) {
    for (const GameEdition& edition : kEditions)
        if (edition.code == code)
            return &edition;
    return nullptr;
}

} // namespace rom
