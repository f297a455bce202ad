#include "SampleImage.h"

#include "EggMoveKind.h"
#include "EggMoveRules.h"
#include "EntryRules.h"
#include "EvolutionRules.h"
#include "LearnsetKind.h"
#include "LearnsetRules.h"
#include "TableLocation.h"

#include "base/LittleEndian.h"
#include "nds/NdsImageBuilder.h"

namespace species {

Record sampleEntry(int position) {
    const int p = position;
    const auto stat = [p](int k) { return 20 + (p * 37 + k * 53) % 180; };
    constexpr int kRatios[] = {0, 31, 63, 127, 191, 254};
    Record record;
    const auto set = [&record](Field field, int value) { record.set(field, value); };
    set(Field::HP, stat(0));
    set(Field::Attack, stat(1));
    set(Field::Defense, stat(2));
    set(Field::Speed, stat(3));
    set(Field::SpAttack, stat(4));
    set(Field::SpDefense, stat(5));
    set(Field::Type1, p % 18);
    set(Field::Type2, (p * 7) % 18);
    set(Field::CatchRate, 3 + (p * 11) % 253);
    set(Field::BaseXP, 30 + (p * 13) % 220);
    set(Field::Item1, p % 10 == 0 ? (p * 3) % 465 : 0);
    set(Field::Item2, 0);
    set(Field::Gender, isNoGenderSpecies(p) ? 255 : kRatios[p % 6]);
    set(Field::Hatch, 5 + p % 36);
    set(Field::BaseHappiness, 70);
    set(Field::MaxExp, p % 6);
    set(Field::EggType1, 1 + p % 15);
    set(Field::EggType2, 1 + (p * 5) % 15);
    set(Field::Ability1, 1 + p % 123);
    set(Field::Ability2, p % 3 == 0 ? 0 : 1 + (p * 17) % 123);
    set(Field::RunChance, (p * 3) % 256);
    set(Field::Colour, spriteFlagColour(p).value_or(p % 10));
    set(Field::Flip, spriteFlagColour(p) ? 1 : 0);
    for (const Field ev : {Field::EvHp, Field::EvAttack, Field::EvDefense, Field::EvSpeed,
                           Field::EvSpAttack, Field::EvSpDefense})
        set(ev, (p + static_cast<int>(ev)) % 7 == 0 ? 1 + p % 3 : 0);
    for (int n = 0; n < kTmHmCount; ++n)
        set(tmHm(n), (p * 7 + n * 3) % 5 == 0 ? 1 : 0);
    return record;
}

Record sampleEvolutions(int position) {
    Record record;
    const int p = position;
    if (p >= kFirstUnevolvingPosition - 1)
        return record;      // the Egg entries and the forms evolve into nothing
    const int into = p + 2; // the species after this one, by its national number
    if (p % 3 == 0) {
        record.set(evolution(0, SlotPart::Method), 4); // Level
        record.set(evolution(0, SlotPart::Parameter), 16 + p % 30);
        record.set(evolution(0, SlotPart::Target), into);
    } else if (p % 7 == 1) {
        record.set(evolution(0, SlotPart::Method), 7); // Use item
        record.set(evolution(0, SlotPart::Parameter), 80 + p % 5);
        record.set(evolution(0, SlotPart::Target), into);
    }
    return record;
}

Record sampleLearnset(int position) {
    const int p = position;
    const int count = hasNoLearnset(p) ? 0 : p % (kMaxLevelMoves + 1);
    files::Bytes bytes;
    const auto word = [&](int value) {
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    };
    for (int i = 0; i < count; ++i)
        word(
            wordOf({std::min(1 + i * 5 + p % 4, kLearnLevelMaximum), 1 + (p * 31 + i * 17) % 467}));
    word(0xFFFF);
    bytes.resize((bytes.size() + 3) / 4 * 4, 0);
    return Record(std::move(bytes));
}

std::vector<int> sampleEggMoves(int species) {
    std::vector<int> moves;
    if (species % 3 == 1)
        for (int i = 0; i <= (species * 7) % 16; ++i)
            moves.push_back(1 + (species * 13 + i * 29) % kMoveCount);
    return moves;
}

namespace {

// The game's list of egg moves within made-up bytes around it: in HeartGold and SoulSilver
// the one member of its archive, in the other games a part of ARM9 overlay 5 among its code.
files::Bytes eggMoveFile(nds::Game game) {
    EggMoves moves;
    for (int species = 1; species <= 493; ++species)
        if (std::vector<int> list = sampleEggMoves(species); !list.empty())
            moves[species] = std::move(list);
    const base::Result<std::vector<std::uint16_t>> list = writeEggList(moves, eggListBound(game));
    const bool archive = !eggMoveArchive(game).empty();
    const std::size_t before = archive ? 0 : 0x180;
    files::Bytes bytes(before + 2 * list.value().size() + (archive ? 0 : 0x240), 0);
    for (std::size_t i = 0; i < list.value().size(); ++i)
        base::write16(bytes, before + 2 * i, list.value()[i]);
    return bytes;
}

} // namespace

files::Bytes sampleImage(const nds::GameEdition& edition) {
    // Member 0 of each archive is an empty record.
    std::vector<files::Bytes> stats{files::Bytes(kRecordSize, 0)};
    std::vector<files::Bytes> evolutions{files::Bytes(kRecordSize, 0)};
    std::vector<files::Bytes> learnsets{{0xFF, 0xFF, 0, 0}};
    for (int position = 0; position < tableEntries(edition.game); ++position) {
        const Record record = sampleEntry(position);
        stats.emplace_back(record.bytes().begin(), record.bytes().end());
        const Record evolved = sampleEvolutions(position);
        evolutions.emplace_back(evolved.bytes().begin(), evolved.bytes().end());
        const Record learnt = sampleLearnset(position);
        learnsets.emplace_back(learnt.bytes().begin(), learnt.bytes().end());
    }
    std::vector<nds::ImageFile> files{
        {std::string(tableArchive(edition.game)), nds::buildNarc(stats)},
        {std::string(evolutionArchive(edition.game)), nds::buildNarc(evolutions)},
        {std::string(learnsetArchive(edition.game)), nds::buildNarc(learnsets)}};
    std::vector<files::Bytes> overlays;
    if (const std::string_view archive = eggMoveArchive(edition.game); !archive.empty()) {
        files.push_back({std::string(archive), nds::buildNarc({eggMoveFile(edition.game)})});
    } else {
        // Overlays before the one that holds the list, of made-up code.
        for (int id = 0; id < kEggMoveOverlay; ++id)
            overlays.emplace_back(0x40, static_cast<std::uint8_t>(id));
        overlays.push_back(eggMoveFile(edition.game));
    }
    return nds::buildNdsImage("STATWRIGHT", edition.code, files, overlays);
}

} // namespace species
