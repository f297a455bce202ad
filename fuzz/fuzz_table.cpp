// Arbitrary text as an edited table, read as CSV or JSON and judged against an image: the
// readers and the import's checks never crash, and every change they plan is one the
// window could make.
#include "tables/TableImport.h"
#include "tables/TableReader.h"

#include "species/EntryRules.h"

#include "species/ValueRules.h"
#include "species/Vocabulary.h"

#include <cstdlib>

#ifndef TABLE_FORMAT_JSON
#define TABLE_FORMAT_JSON 0
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<species::Record> entries(species::kAllEntries);
    static const std::vector<species::Record> evolutions(species::kAllEntries);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tables::InputTable input =
        TABLE_FORMAT_JSON ? tables::readJsonTable(text) : tables::readCsvTable(text);
    const tables::ImportPlan plan = tables::planImport(
        input, {{species::Kind::BaseStats, entries}, {species::Kind::Evolutions, evolutions}},
        nds::Game::HeartGold);
    for (const species::Change& change : plan.changes) {
        const species::FieldDescriptor& field = species::descriptor(change.field);
        const int limit = field.isNumber() ? (1 << field.bits)
                                           : vocabulary::size(field.list, nds::Game::HeartGold);
        if (change.after < 0 || change.after >= limit || change.position < 0 ||
            change.position >= species::kAllEntries)
            std::abort();
        if (species::lockOf(change.field, change.position) != species::Lock::None)
            std::abort();
    }
    return 0;
}
