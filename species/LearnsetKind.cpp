#include "LearnsetKind.h"

#include "LearnsetRules.h"
#include "Vocabulary.h"

#include "base/LittleEndian.h"
#include "base/Text.h"
#include "nds/ImageLayout.h"
#include "nds/Narc.h"

#include <algorithm>

namespace species {

std::string_view learnsetArchive(nds::Game game) {
    const bool johto = game == nds::Game::HeartGold || game == nds::Game::SoulSilver;
    return johto ? "/a/0/3/3" : "/poketool/personal/wotbl.narc";
}

namespace {

constexpr int kEndMark = 0xFFFF;

// Why member `index`, of `bytes`, is no list the game can read, or an empty text.
std::string memberProblem(std::span<const std::uint8_t> bytes, std::size_t index) {
    const std::string member = "member " + std::to_string(index);
    if (bytes.size() > static_cast<std::size_t>(kLearnsetMemberLimit))
        return member + " is " + std::to_string(bytes.size()) +
               " bytes long, more than the 44 the game copies";
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        if (base::read16(bytes, at) == kEndMark)
            return {};
    return member + " has no end mark (0xFFFF)";
}

files::Bytes padded(std::span<const std::uint8_t> bytes) {
    files::Bytes member(bytes.begin(), bytes.end());
    member.resize(std::max<std::size_t>(member.size(), kLearnsetMemberLimit), 0);
    return member;
}

class LearnsetKind final : public RecordKind {
public:
    Kind kind() const override { return Kind::Learnsets; }
    std::string_view noun() const override { return "learnset table"; }
    std::string_view title() const override { return "Level-up moves"; }
    std::span<const FieldDescriptor> fields() const override { return learnsetLayout(); }

    base::Result<TablePlace> find(files::OpenFile& file, const nds::GameEdition& edition,
                                  const nds::NdsFileSystem* system,
                                  const TablePlace* stats) const override {
        const std::string action = findAction(noun(), edition);
        if (!system)
            return noFileSystem(file, action, noun());
        const std::string_view path = learnsetArchive(edition.game);
        const auto fail = [&](base::Error error) { return whileFinding(std::move(error), action); };
        base::Result<nds::FileEntry> archive = system->find(path);
        if (!archive.ok())
            return fail(archive.error());
        if (base::Status alone = system->checkAlone(archive.value()); !alone.ok())
            return fail(alone.error());
        base::Result<std::vector<nds::FileSpan>> members =
            nds::readNarcMembers(file, archive.value());
        if (!members.ok())
            return fail(members.error());
        const int entries = stats ? stats->entries : tableEntries(edition.game);
        const auto bad = [&](const std::string& why) {
            return base::Error::badContent(action, file.path(), std::string(path) + " " + why);
        };
        if (members.value().size() < static_cast<std::size_t>(entries) + 1)
            return bad("has " + std::to_string(members.value().size()) + " members, fewer than " +
                       std::to_string(entries + 1));
        const nds::FileSpan span = archive.value().span;
        base::Result<files::Bytes> bytes = file.read(span.start, span.size());
        if (!bytes.ok())
            return bytes.error();
        for (std::size_t i = 0; i < members.value().size(); ++i) {
            const nds::FileSpan& member = members.value()[i];
            const std::string problem =
                memberProblem(std::span(bytes.value())
                                  .subspan(static_cast<std::size_t>(member.start - span.start),
                                           static_cast<std::size_t>(member.size())),
                              i);
            if (!problem.empty())
                return bad(problem);
        }
        TablePlace place{members.value()[1].start,
                         entries,
                         std::string(path),
                         archive.value().id,
                         members.value().size(),
                         span,
                         {}};
        place.records.assign(members.value().begin() + 1, members.value().begin() + 1 + entries);
        return place;
    }

    bool present(const nds::NdsFileSystem& system, const nds::GameEdition& edition) const override {
        return system.find(learnsetArchive(edition.game)).ok();
    }

    base::Result<std::vector<Record>> read(files::OpenFile& file,
                                           const TablePlace& place) const override {
        base::Result<files::Bytes> bytes = file.read(place.file.start, place.file.size());
        if (!bytes.ok())
            return bytes.error();
        std::vector<Record> records;
        for (const nds::FileSpan& member : place.records) {
            const auto from = bytes.value().begin() + (member.start - place.file.start);
            records.emplace_back(files::Bytes(from, from + member.size()));
        }
        return records;
    }

    base::Result<Record> readOne(files::OpenFile& file, const TablePlace& place,
                                 int position) const override {
        if (position < 0 || static_cast<std::size_t>(position) >= place.records.size())
            return base::Error::failed(
                base::Error::Kind::OutsideFile, "read the learnset of", file.path(),
                "list position " + std::to_string(position) + " has no member there");
        const nds::FileSpan& member = place.records[static_cast<std::size_t>(position)];
        base::Result<files::Bytes> bytes = file.read(member.start, member.size());
        if (!bytes.ok())
            return bytes.error();
        return Record(std::move(bytes).value());
    }

    base::Result<KindWrite> rewrites(files::OpenFile& file, const TablePlace& place,
                                     std::span<const Change> changes) const override {
        base::Result<std::vector<Record>> now = read(file, place);
        if (!now.ok())
            return now.error();
        std::vector<Record> after = now.value();
        for (const Change& change : changes)
            after[static_cast<std::size_t>(change.position)].set(change.field, change.after);
        for (const Change& change : changes)
            if (after[std::size_t(change.position)].value(Field::Learnset).items().size() >
                static_cast<std::size_t>(kMaxLevelMoves))
                return base::Error::failed(
                    base::Error::Kind::InvalidInput, "write the learnsets into", file.path(),
                    vocabulary::entryLabel(change.position) +
                        " would have more than 20 level-up moves; nothing was written");
        const bool fits = std::all_of(changes.begin(), changes.end(), [&](const Change& change) {
            const auto at = static_cast<std::size_t>(change.position);
            return after[at].size() == now.value()[at].size();
        });
        if (fits)
            return inPlace(place, now.value(), after, changes);
        return grown(file, place, after);
    }

    base::Result<std::vector<files::ByteRange>> writable(files::OpenFile& file,
                                                         const nds::NdsFileSystem* system,
                                                         const TablePlace& place) const override {
        if (!system)
            return std::vector<files::ByteRange>{};
        base::Result<nds::ImageLayout> layout = nds::readLayout(file, *system);
        if (!layout.ok())
            return layout.error();
        const nds::ImageLayout& l = layout.value();
        const std::int64_t entry = system->allocationEntryOffset(place.archiveId);
        const std::int64_t room = std::min(l.nextUsed(place.file.start, place.archiveId),
                                           std::max(l.capacity, l.fileSize));
        return std::vector<files::ByteRange>{
            // The archive, and the room after it where it may grow.
            {place.file.start, std::max(place.file.end, room)},
            // Its allocation entry, the used size and the header's CRC.
            {entry, entry + 8},
            {nds::kUsedSizeOffset, nds::kUsedSizeOffset + 4},
            {nds::kHeaderCrcOffset, nds::kHeaderCrcOffset + 2},
            // Past everything else the image uses: where it moves, and the signature after it.
            {l.lastUsed(place.archiveId), std::max(l.capacity, l.fileSize)}};
    }

    std::vector<Refusal> refusals(int position, const Record& before, const Record& after,
                                  std::span<const Change>, nds::Game) const override {
        const std::optional<std::string> why = learnsetRefusal(
            position, before.value(Field::Learnset).items(), after.value(Field::Learnset).items());
        if (!why)
            return {};
        return {{Field::Learnset, *why}};
    }

    std::string listText(const Value& value) const override { return learnsetText(value.items()); }

    base::Result<Value> parseList(std::string_view text) const override {
        base::Result<std::vector<int>> words = parseLearnset(text);
        if (!words.ok())
            return words.error();
        return Value::list(std::move(words.value()));
    }

    std::string listDifference(const Value& before, const Value& after) const override {
        return learnsetDifference(before.items(), after.items());
    }

    std::string layoutChange(const std::vector<Record>& records,
                             std::span<const Change> changes) const override {
        for (const Change& change : changes) {
            const auto at = static_cast<std::size_t>(change.position);
            if (at >= records.size())
                continue;
            const std::size_t needed = 2 * change.after.items().size() + 2;
            if (needed > records[at].size())
                return "the learnset archive is made anew with room for 20 moves in every "
                       "list, and moves to the end of the image if it has no room where it lies "
                       "(this happens once)";
        }
        return {};
    }

private:
    // Every changed list fits its member: each member written where it lies.
    static KindWrite inPlace(const TablePlace& place, const std::vector<Record>& now,
                             const std::vector<Record>& after, std::span<const Change> changes) {
        KindWrite write;
        std::vector<int> positions;
        for (const Change& change : changes)
            positions.push_back(change.position);
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        for (const int position : positions) {
            const auto at = static_cast<std::size_t>(position);
            write.spans.push_back(
                {place.records[at].start,
                 files::Bytes(now[at].bytes().begin(), now[at].bytes().end()),
                 files::Bytes(after[at].bytes().begin(), after[at].bytes().end())});
        }
        return write;
    }

    // A list that does not fit: the archive made anew, 44 bytes a member, where it lies if there
    // is room, or else after everything else the image uses.
    base::Result<KindWrite> grown(files::OpenFile& file, const TablePlace& place,
                                  const std::vector<Record>& after) const {
        base::Result<std::optional<nds::NdsFileSystem>> system = nds::NdsFileSystem::read(file);
        if (!system.ok())
            return system.error();
        if (!system.value())
            return noFileSystem(file, "write the learnsets into", noun());
        const nds::NdsFileSystem& files = *system.value();
        base::Result<nds::ImageLayout> layout = nds::readLayout(file, files);
        if (!layout.ok())
            return layout.error();
        const nds::FileEntry archive{place.archiveId, place.archive, place.file};
        base::Result<std::vector<nds::FileSpan>> spans = nds::readNarcMembers(file, archive);
        if (!spans.ok())
            return spans.error();
        std::vector<files::Bytes> members;
        for (std::size_t i = 0; i < spans.value().size(); ++i) {
            const bool entry = i >= 1 && i <= after.size();
            base::Result<files::Bytes> bytes =
                entry ? files::Bytes(after[i - 1].bytes().begin(), after[i - 1].bytes().end())
                      : file.read(spans.value()[i].start, spans.value()[i].size());
            if (!bytes.ok())
                return bytes.error();
            members.push_back(padded(bytes.value()));
        }
        base::Result<files::Bytes> rebuilt = nds::rebuildNarc(file, archive, members);
        if (!rebuilt.ok())
            return rebuilt.error();
        return placed(file, files, layout.value(), place, std::move(rebuilt).value());
    }

    // The spans that put `archive` in the image: the archive, its allocation entry, and where it
    // ends past the used size, the used size, the header's CRC and the signature after it.
    base::Result<KindWrite> placed(files::OpenFile& file, const nds::NdsFileSystem& system,
                                   const nds::ImageLayout& layout, const TablePlace& place,
                                   files::Bytes archive) const {
        const auto size = static_cast<std::int64_t>(archive.size());
        const std::int64_t signature = layout.signature ? nds::kSignatureSize : 0;
        const std::int64_t room =
            std::min(layout.nextUsed(place.file.start, place.archiveId), layout.capacity);
        std::int64_t at = place.file.start;
        if (at + size > room) {
            at = nds::alignedToFile(layout.lastUsed(-2));
            if (at + size + signature > layout.capacity)
                return base::Error::failed(
                    base::Error::Kind::BadContent, "write the learnsets into", file.path(),
                    "the learnset archive needs " + std::to_string(size) +
                        " bytes where it can move, and the image's capacity (" +
                        base::hexNumber(layout.capacity) + ") is " +
                        std::to_string(at + size + signature - layout.capacity) +
                        " bytes short; nothing was written");
        }
        KindWrite write;
        const auto span = [&](std::int64_t offset, files::Bytes bytes) -> base::Status {
            const auto count = static_cast<std::int64_t>(bytes.size());
            files::Bytes before(bytes.size(), 0); // past the image's end: what growing it adds
            const std::int64_t there = std::clamp<std::int64_t>(file.size() - offset, 0, count);
            if (there > 0) {
                base::Result<files::Bytes> now = file.read(offset, there);
                if (!now.ok())
                    return now.error();
                std::copy(now.value().begin(), now.value().end(), before.begin());
            }
            write.spans.push_back({offset, std::move(before), std::move(bytes)});
            write.length = std::max(write.length, offset + count);
            return {};
        };
        if (base::Status put = span(at, std::move(archive)); !put.ok())
            return put.error();
        files::Bytes entry(8);
        base::write32(entry, 0, static_cast<std::uint32_t>(at));
        base::write32(entry, 4, static_cast<std::uint32_t>(at + size));
        if (base::Status put = span(system.allocationEntryOffset(place.archiveId), entry);
            !put.ok())
            return put.error();
        if (at + size > layout.usedSize)
            if (base::Status moved = usedSize(file, layout, at + size, span); !moved.ok())
                return moved.error();
        if (write.length <= file.size())
            write.length = 0;
        write.relocates = true;
        return write;
    }

    // The header's used size made `end`, its CRC made again, and the signature after the used
    // size copied after it.
    template <typename Span>
    static base::Status usedSize(files::OpenFile& file, const nds::ImageLayout& layout,
                                 std::int64_t end, const Span& span) {
        base::Result<files::Bytes> header = file.read(0, nds::kHeaderCrcOffset + 2);
        if (!header.ok())
            return header.error();
        files::Bytes h = header.value();
        base::write32(h, nds::kUsedSizeOffset, static_cast<std::uint32_t>(end));
        files::Bytes used(h.begin() + nds::kUsedSizeOffset, h.begin() + nds::kUsedSizeOffset + 4);
        if (base::Status put = span(nds::kUsedSizeOffset, std::move(used)); !put.ok())
            return put;
        files::Bytes crc(2);
        base::write16(crc, 0, nds::headerCrc(h));
        if (base::Status put = span(nds::kHeaderCrcOffset, std::move(crc)); !put.ok())
            return put;
        if (!layout.signature)
            return {};
        base::Result<files::Bytes> signature =
            file.read(layout.signature->start, layout.signature->size());
        if (!signature.ok())
            return signature.error();
        return span(end, std::move(signature).value());
    }
};

} // namespace

bool hasRoomForEveryList(const TablePlace& place) {
    return !place.records.empty() &&
           std::all_of(place.records.begin(), place.records.end(), [](const nds::FileSpan& member) {
               return member.size() == kLearnsetMemberLimit;
           });
}

const RecordKind& learnsetKind() {
    static const LearnsetKind kind;
    return kind;
}

} // namespace species
