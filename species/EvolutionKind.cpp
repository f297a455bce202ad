#include "EvolutionKind.h"

#include "EvolutionRules.h"
#include "FixedRecords.h"

namespace species {
namespace {

class EvolutionKind final : public RecordKind {
public:
    Kind kind() const override { return Kind::Evolutions; }
    std::string_view noun() const override { return "evolution table"; }
    std::string_view title() const override { return "Evolutions"; }
    std::span<const FieldDescriptor> fields() const override { return evolutionLayout(); }

    base::Result<TablePlace> find(files::OpenFile& file, const nds::GameEdition& edition,
                                  const nds::NdsFileSystem* system,
                                  const TablePlace* stats) const override {
        const std::string action = findAction(noun(), edition);
        if (!system)
            return noFileSystem(file, action, noun());
        return findRecordArchive(file, *system, evolutionArchive(edition.game),
                                 stats ? stats->entries : tableEntries(edition.game), kRecordSize,
                                 action);
    }

    bool present(const nds::NdsFileSystem& system, const nds::GameEdition& edition) const override {
        return system.find(evolutionArchive(edition.game)).ok();
    }

    base::Result<std::vector<Record>> read(files::OpenFile& file,
                                           const TablePlace& place) const override {
        return readRecords(file, place);
    }
    base::Result<Record> readOne(files::OpenFile& file, const TablePlace& place,
                                 int position) const override {
        return recordAt(file, place, position);
    }
    base::Result<KindWrite> rewrites(files::OpenFile& file, const TablePlace& place,
                                     std::span<const Change> changes) const override {
        base::Result<std::vector<files::Rewrite>> spans =
            recordRewrites(file, place, {changes.begin(), changes.end()});
        if (!spans.ok())
            return spans.error();
        return KindWrite{std::move(spans).value(), 0};
    }
    base::Result<std::vector<files::ByteRange>>
    writable(files::OpenFile&, const nds::NdsFileSystem*, const TablePlace& place) const override {
        return std::vector<files::ByteRange>{
            {place.base, place.base + std::int64_t{kRecordSize} * place.entries}};
    }

    // Each slot judged whole, under the method it will have: a refused slot refuses its three
    // fields, with one reason that names it.
    std::vector<Refusal> refusals(int position, const Record& before, const Record& after,
                                  std::span<const Change> changes, nds::Game game) const override {
        for (const Change& change : changes)
            if (change.after.number() < 0 || change.after.number() > 65535)
                return {{change.field,
                         std::to_string(change.after.number()) + " is not between 0 and 65535"}};
        std::vector<Refusal> refused;
        for (int slot = 0; slot < kEvolutionSlots; ++slot)
            if (const std::optional<std::string> why =
                    slotRefusal(before, after, slot, position, game))
                for (const SlotPart part :
                     {SlotPart::Method, SlotPart::Parameter, SlotPart::Target})
                    refused.push_back({evolution(slot, part), *why});
        return refused;
    }
    void complete(const Record& before, Record& after) const override {
        emptySlotsWithoutMethod(before, after);
    }
    std::vector<Change> changesBetween(int position, const Record& before,
                                       const Record& after) const override {
        return slotChangesBetween(std::span(&before, 1), std::span(&after, 1), position);
    }
};

} // namespace

const RecordKind& evolutionKind() {
    static const EvolutionKind kind;
    return kind;
}

} // namespace species
