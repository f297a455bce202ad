#include "RecordKinds.h"

#include "BaseStatKind.h"
#include "EggMoveKind.h"
#include "EvolutionKind.h"
#include "LearnsetKind.h"

#include "nds/Identification.h"

#include <array>

namespace species {

void RecordKind::complete(const Record&, Record&) const {
}

std::optional<std::string> RecordKind::meaningDiffers(Field, nds::Game, nds::Game) const {
    return std::nullopt;
}

std::string RecordKind::layoutChange(const std::vector<Record>&, std::span<const Change>) const {
    return {};
}

std::vector<Change> RecordKind::changesBetween(int position, const Record& before,
                                               const Record& after) const {
    return changesOf(position, before, after, fields());
}

std::string RecordKind::listText(const Value& value) const {
    return "a list of " + std::to_string(value.items().size());
}

base::Result<Value> RecordKind::parseList(std::string_view) const {
    return base::Error::at(base::Error::Kind::InvalidInput, "", 0, "",
                           "the " + std::string(noun()) + " holds no lists");
}

std::string RecordKind::listDifference(const Value& before, const Value& after) const {
    return listText(before) + " -> " + listText(after);
}

// Each kind at its number, so that a kind is found by it.
std::span<const RecordKind* const> recordKinds() {
    static const std::array<const RecordKind*, 4> kinds{&baseStatKind(), &evolutionKind(),
                                                        &learnsetKind(), &eggMoveKind()};
    return kinds;
}

const RecordKind& recordKind(Kind kind) {
    return *recordKinds()[static_cast<std::size_t>(kind)];
}

const RecordKind& recordKindOf(Field field) {
    return recordKind(kindOf(field));
}

base::Result<std::vector<files::ByteRange>> writableRanges(files::OpenFile& image) {
    const base::Result<const nds::GameEdition*> edition = nds::identifyImage(image);
    if (!edition.ok())
        return edition.error();
    const base::Result<std::optional<nds::NdsFileSystem>> system =
        readFileSystem(image, findAction(baseStatKind().noun(), *edition.value()));
    if (!system.ok())
        return system.error();
    const nds::NdsFileSystem* files = system.value() ? &*system.value() : nullptr;
    std::vector<files::ByteRange> ranges;
    std::optional<TablePlace> stats;
    for (const RecordKind* kind : recordKinds()) {
        base::Result<TablePlace> place =
            kind->find(image, *edition.value(), files, stats ? &*stats : nullptr);
        if (!place.ok()) {
            if (!stats) // without its base stats, nothing of an image is ever written
                return place.error();
            continue;
        }
        const base::Result<std::vector<files::ByteRange>> own =
            kind->writable(image, files, place.value());
        if (!own.ok())
            return own.error();
        ranges.insert(ranges.end(), own.value().begin(), own.value().end());
        if (!stats)
            stats = std::move(place).value();
    }
    return ranges;
}

} // namespace species
