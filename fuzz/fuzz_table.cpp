// Arbitrary text as an edited table, read as CSV or JSON and judged against an image: the
// readers and the import's checks never crash, and every change they plan is one the
// window could make.
#include "tables/TableImport.h"
#include "tables/TableReader.h"

#include "files/OpenFile.h"
#include "species/EggMoveRules.h"
#include "species/EntryRules.h"
#include "species/LearnsetRules.h"

#include "species/ValueRules.h"
#include "species/Vocabulary.h"

#include <cstdlib>

#ifndef TABLE_FORMAT_JSON
#define TABLE_FORMAT_JSON 0
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<species::Record> entries(species::kAllEntries);
    static const std::vector<species::Record> evolutions(species::kAllEntries);
    static const std::vector<species::Record> lists(species::kAllEntries,
                                                    species::Record(files::Bytes{0xFF, 0xFF}));
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tables::InputTable input =
        TABLE_FORMAT_JSON ? tables::readJsonTable(text) : tables::readCsvTable(text);
    const tables::ImportPlan plan = tables::planImport(input,
                                                       {{species::Kind::BaseStats, entries},
                                                        {species::Kind::Evolutions, evolutions},
                                                        {species::Kind::Learnsets, lists},
                                                        {species::Kind::EggMoves, lists}},
                                                       nds::Game::HeartGold);
    species::EggMoves eggMoves;
    for (const species::Change& change : plan.changes) {
        const species::FieldDescriptor& field = species::descriptor(change.field);
        // A list planned is one the window could keep, and the egg moves fit the game's list.
        if (field.isList()) {
            const std::vector<int> after = change.after.items();
            const std::vector<int> before = change.before.items();
            if (change.field == species::Field::Learnset
                    ? species::learnsetRefusal(change.position, before, after).has_value()
                    : species::eggMoveRefusal(change.position, before, after).has_value())
                std::abort();
            if (change.field == species::Field::EggMoves)
                eggMoves[species::eggSpeciesOf(change.position)] = after;
            continue;
        }
        const int limit = field.isNumber() ? (1 << field.bits)
                                           : vocabulary::size(field.list, nds::Game::HeartGold);
        if (change.after.number() < 0 || change.after.number() >= limit || change.position < 0 ||
            change.position >= species::kAllEntries)
            std::abort();
        if (species::lockOf(change.field, change.position) != species::Lock::None)
            std::abort();
    }
    if (plan.problems.empty() &&
        species::eggListRefusal(eggMoves, species::eggListBound(nds::Game::HeartGold)))
        std::abort();
    return 0;
}
