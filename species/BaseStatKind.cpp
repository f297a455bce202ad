#include "BaseStatKind.h"

#include "FixedRecords.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include "base/Text.h"

namespace species {
namespace {

class BaseStatKind final : public RecordKind {
public:
    Kind kind() const override { return Kind::BaseStats; }
    std::string_view noun() const override { return "base-stat table"; }
    std::string_view title() const override { return "Base stats"; }
    std::span<const FieldDescriptor> fields() const override { return fieldLayout(); }

    base::Result<TablePlace> find(files::OpenFile& file, const nds::GameEdition& edition,
                                  const nds::NdsFileSystem* system,
                                  const TablePlace*) const override {
        const std::string action = findAction(noun(), edition);
        if (!system)
            return fixedPlace(file, edition, action);
        return findRecordArchive(file, *system, tableArchive(edition.game),
                                 tableEntries(edition.game), kRecordSize, action);
    }

    bool present(const nds::NdsFileSystem& system, const nds::GameEdition& edition) const override {
        return system.find(tableArchive(edition.game)).ok();
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

    std::vector<Refusal> refusals(int position, const Record& before, const Record& after,
                                  std::span<const Change> changes, nds::Game game) const override {
        std::vector<Refusal> refused;
        for (const FieldDescriptor& field : fieldLayout()) {
            // The value as given, which may be more than the field holds; else as it will be.
            long value = after.get(field.field);
            for (const Change& change : changes)
                if (change.field == field.field)
                    value = change.after.number();
            const int current = before.get(field.field);
            if (value == current)
                continue;
            if (const std::optional<std::string> why =
                    refusal(field, position, value, std::to_string(value), current, game))
                refused.push_back({field.field, *why});
        }
        return refused;
    }

    // A TM or HM flag stands for the move the flag teaches, which differs between games.
    std::optional<std::string> meaningDiffers(Field field, nds::Game from,
                                              nds::Game game) const override {
        const FieldDescriptor& d = descriptor(field);
        if (d.part != Part::TmHm)
            return std::nullopt;
        const int n = static_cast<int>(field) - static_cast<int>(Field::FirstTmHm);
        const std::string_view theirs = vocabulary::tmHmMove(n, from);
        const std::string_view ours = vocabulary::tmHmMove(n, game);
        if (theirs == ours)
            return std::nullopt;
        return std::string(d.caption) + " teaches " + std::string(theirs) +
               " where the patch was made, " + std::string(ours) + " in this image";
    }

private:
    // An image without a file system keeps the table at its edition's fixed place, if it has one.
    static base::Result<TablePlace>
    fixedPlace(files::OpenFile& file, const nds::GameEdition& edition, const std::string& action) {
        if (!edition.hasFixedBase())
            return base::Error::badContent(action, file.path(),
                                           "the image has no file system, and " +
                                               std::string(edition.code) +
                                               " images keep the table in no fixed place");
        const std::int64_t end = edition.recordBase + std::int64_t{kRecordSize} * kSpeciesCount;
        if (end > file.size())
            return base::Error::badContent(
                action, file.path(),
                "the image has no file system, and it ends at byte " + std::to_string(file.size()) +
                    ", before the end of the table at " + std::string(edition.code) +
                    "'s fixed place (" + base::hexNumber(edition.recordBase) + " to " +
                    base::hexNumber(end) + ")");
        return TablePlace{edition.recordBase, kSpeciesCount, {}, -1, 0, {}, {}};
    }
};

} // namespace

const RecordKind& baseStatKind() {
    static const BaseStatKind kind;
    return kind;
}

} // namespace species
