#include "EggMoveKind.h"

#include "EggMoveRules.h"
#include "Vocabulary.h"

#include "base/LittleEndian.h"
#include "base/Text.h"
#include "nds/Narc.h"
#include "nds/Overlays.h"

#include <algorithm>

namespace species {

std::string_view eggMoveArchive(nds::Game game) {
    return game == nds::Game::HeartGold || game == nds::Game::SoulSilver ? "/a/2/2/9" : "";
}

namespace {

std::vector<std::uint16_t> wordsOf(const files::Bytes& bytes) {
    std::vector<std::uint16_t> words(bytes.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = base::read16(bytes, 2 * i);
    return words;
}

// An entry's record: its moves and the end mark.
Record recordOf(const std::vector<int>& moves) {
    Record record(files::Bytes(2, 0xFF));
    record.set(Field::EggMoves, Value::list(moves));
    return record;
}

// The egg moves of every species, one a list position, from the species' blocks.
std::vector<Record> recordsOf(const EggMoves& moves, int entries) {
    std::vector<Record> records;
    for (int position = 0; position < entries; ++position) {
        const auto found = moves.find(eggSpeciesOf(position));
        records.push_back(recordOf(found == moves.end() ? std::vector<int>() : found->second));
    }
    return records;
}

EggMoves movesOf(const std::vector<Record>& records) {
    EggMoves moves;
    for (std::size_t position = 0; position < records.size(); ++position)
        if (editsEggMoves(static_cast<int>(position)))
            if (std::vector<int> list = records[position].value(Field::EggMoves).items();
                !list.empty())
                moves[eggSpeciesOf(static_cast<int>(position))] = std::move(list);
    return moves;
}

class EggMoveKind final : public RecordKind {
public:
    Kind kind() const override { return Kind::EggMoves; }
    std::string_view noun() const override { return "egg-move list"; }
    std::string_view title() const override { return "Egg moves"; }
    std::span<const FieldDescriptor> fields() const override { return eggMoveLayout(); }

    base::Result<TablePlace> find(files::OpenFile& file, const nds::GameEdition& edition,
                                  const nds::NdsFileSystem* system,
                                  const TablePlace* stats) const override {
        const std::string action = findAction(noun(), edition);
        if (!system)
            return noFileSystem(file, action, noun());
        const auto fail = [&](base::Error error) { return whileFinding(std::move(error), action); };
        // The file that holds the list: the archive's one member, or overlay 5.
        std::string where;
        int id = -1;
        nds::FileSpan span;
        if (const std::string_view path = eggMoveArchive(edition.game); !path.empty()) {
            base::Result<nds::FileEntry> archive = system->find(path);
            if (!archive.ok())
                return fail(archive.error());
            if (base::Status alone = system->checkAlone(archive.value()); !alone.ok())
                return fail(alone.error());
            base::Result<std::vector<nds::FileSpan>> members =
                nds::readNarcMembers(file, archive.value());
            if (!members.ok())
                return fail(members.error());
            if (members.value().size() != 1)
                return base::Error::badContent(action, file.path(),
                                               std::string(path) + " has " +
                                                   std::to_string(members.value().size()) +
                                                   " members, where the game reads one");
            where = std::string(path);
            id = archive.value().id;
            span = members.value().front();
        } else {
            base::Result<nds::FileSpan> overlay =
                nds::arm9OverlaySpan(file, *system, kEggMoveOverlay);
            if (!overlay.ok())
                return fail(overlay.error());
            where = "ARM9 overlay " + std::to_string(kEggMoveOverlay);
            span = overlay.value();
            for (const auto& [fileId, fileSpan] : system->fileSpans())
                if (fileSpan.start == span.start && fileSpan.end == span.end)
                    id = fileId;
        }
        base::Result<files::Bytes> bytes = file.read(span.start, span.size());
        if (!bytes.ok())
            return bytes.error();
        const int bound = eggListBound(edition.game);
        const std::vector<std::size_t> starts = eggListStarts(wordsOf(bytes.value()), bound);
        if (starts.size() != 1)
            return base::Error::badContent(
                action, file.path(),
                where + (starts.empty() ? " holds no list of egg moves that the game could read"
                                        : " holds " + std::to_string(starts.size()) +
                                              " lists of egg moves, and the game reads one"));
        const std::int64_t base = span.start + 2 * static_cast<std::int64_t>(starts.front());
        const std::int64_t room = 2 * std::int64_t{bound};
        if (base + room > span.end)
            return base::Error::badContent(action, file.path(),
                                           where + " ends before the " + std::to_string(bound) +
                                               " words the game scans of its list of egg moves");
        TablePlace place;
        place.base = base;
        place.entries = stats ? stats->entries : tableEntries(edition.game);
        place.archive = where;
        place.archiveId = id;
        place.members = 1;
        place.file = span;
        place.room = room;
        return place;
    }

    // Whether the image has the list is known only once it is looked for: a list not found is
    // one the image lacks, never a fault of it.
    bool present(const nds::NdsFileSystem&, const nds::GameEdition&) const override {
        return false;
    }

    base::Result<std::vector<Record>> read(files::OpenFile& file,
                                           const TablePlace& place) const override {
        base::Result<files::Bytes> bytes = file.read(place.base, place.room);
        if (!bytes.ok())
            return bytes.error();
        return recordsOf(readEggList(wordsOf(bytes.value())), place.entries);
    }

    base::Result<Record> readOne(files::OpenFile& file, const TablePlace& place,
                                 int position) const override {
        base::Result<std::vector<Record>> all = read(file, place);
        if (!all.ok())
            return all.error();
        if (position < 0 || static_cast<std::size_t>(position) >= all.value().size())
            return base::Error::failed(
                base::Error::Kind::OutsideFile, "read the egg moves of", file.path(),
                "list position " + std::to_string(position) + " has no entry");
        return all.value()[static_cast<std::size_t>(position)];
    }

    // The whole list made again from every species' moves, and written as one span from its
    // first changed word to its last: never past the game's bound.
    base::Result<KindWrite> rewrites(files::OpenFile& file, const TablePlace& place,
                                     std::span<const Change> changes) const override {
        base::Result<files::Bytes> bytes = file.read(place.base, place.room);
        if (!bytes.ok())
            return bytes.error();
        const std::vector<std::uint16_t> words = wordsOf(bytes.value());
        std::vector<Record> records = recordsOf(readEggList(words), place.entries);
        for (const Change& change : changes)
            records[static_cast<std::size_t>(change.position)].set(change.field, change.after);
        base::Result<std::vector<std::uint16_t>> list =
            writeEggList(movesOf(records), static_cast<int>(place.room / 2));
        if (!list.ok()) {
            base::Error error = list.error();
            error.kind = base::Error::Kind::InvalidInput;
            error.action = "write the egg moves into";
            error.path = file.path();
            return error;
        }
        files::Bytes after(bytes.value().size());
        for (std::size_t i = 0; i < list.value().size(); ++i)
            base::write16(after, 2 * i, list.value()[i]);
        KindWrite write;
        const auto differs = [&](std::size_t i) { return after[i] != bytes.value()[i]; };
        std::size_t first = 0, last = after.size();
        while (first < after.size() && !differs(first))
            ++first;
        while (last > first && !differs(last - 1))
            --last;
        if (first < last)
            write.spans.push_back(
                {place.base + static_cast<std::int64_t>(first),
                 files::Bytes(bytes.value().begin() + static_cast<std::ptrdiff_t>(first),
                              bytes.value().begin() + static_cast<std::ptrdiff_t>(last)),
                 files::Bytes(after.begin() + static_cast<std::ptrdiff_t>(first),
                              after.begin() + static_cast<std::ptrdiff_t>(last))});
        return write;
    }

    base::Result<std::vector<files::ByteRange>>
    writable(files::OpenFile&, const nds::NdsFileSystem*, const TablePlace& place) const override {
        return std::vector<files::ByteRange>{{place.base, place.base + place.room}};
    }

    std::vector<Refusal> refusals(int position, const Record& before, const Record& after,
                                  std::span<const Change>, nds::Game) const override {
        const std::optional<std::string> why = eggMoveRefusal(
            position, before.value(Field::EggMoves).items(), after.value(Field::EggMoves).items());
        if (!why)
            return {};
        return {{Field::EggMoves, *why}};
    }

    // A form's moves are its species': a change shows once, at the species.
    std::vector<Change> changesBetween(int position, const Record& before,
                                       const Record& after) const override {
        if (!editsEggMoves(position))
            return {};
        return RecordKind::changesBetween(position, before, after);
    }

    std::string listText(const Value& value) const override { return eggMovesText(value.items()); }
    base::Result<Value> parseList(std::string_view text) const override {
        base::Result<std::vector<int>> moves = parseEggMoves(text);
        if (!moves.ok())
            return moves.error();
        return Value::list(std::move(moves.value()));
    }
    std::string listDifference(const Value& before, const Value& after) const override {
        return eggMoveDifference(before.items(), after.items());
    }
};

} // namespace

int eggListFreeWords(const TablePlace& place, const std::vector<Record>& records) {
    return static_cast<int>(place.room / 2) - eggListWords(movesOf(records));
}

const RecordKind& eggMoveKind() {
    static const EggMoveKind kind;
    return kind;
}

} // namespace species
