#include "ImageDocument.h"

#include "RecordKinds.h"
#include "Vocabulary.h"

#include "files/Journal.h"
#include "nds/Identification.h"

#include <algorithm>

namespace species {

const KindTable& ImageReport::table(Kind kind) const {
    return tables[static_cast<std::size_t>(kind)];
}

// An image open for one operation, its game identified, and its tables found or not.
struct ImageDocument::Opened {
    files::OpenFile file;
    std::vector<KindTable> tables; // where each kind's table is, without its records
    std::optional<std::vector<nds::FileEntry>> fixedBaseHolders;

    [[nodiscard]] const KindTable& table(Kind kind) const {
        return tables[static_cast<std::size_t>(kind)];
    }
    // The base-stat table's place, or why there is none.
    [[nodiscard]] base::Result<TablePlace> stats() const {
        const KindTable& found = table(Kind::BaseStats);
        if (found.place)
            return *found.place;
        return *found.missing;
    }
};

namespace {

// The records at `positions` of the table `found` of the open image: one read of the record
// for one entry, and one of the whole table for more, so that an import of every entry reads
// as often as a save of one.
base::Result<std::map<int, Record>> readRecords(files::OpenFile& file, const KindTable& found,
                                                const std::set<int>& positions) {
    std::map<int, Record> records;
    if (positions.size() == 1) {
        base::Result<Record> one = found.kind->readOne(file, *found.place, *positions.begin());
        if (!one.ok())
            return one.error();
        records.emplace(*positions.begin(), std::move(one).value());
        return records;
    }
    base::Result<std::vector<Record>> all = found.kind->read(file, *found.place);
    if (!all.ok())
        return all.error();
    for (const int position : positions) {
        if (position < 0 || static_cast<std::size_t>(position) >= all.value().size())
            return base::Error::failed(base::Error::Kind::OutsideFile, "read", file.path(),
                                       "list position " + std::to_string(position) +
                                           " has no record in the " +
                                           std::string(found.kind->noun()));
        records.emplace(position, all.value()[static_cast<std::size_t>(position)]);
    }
    return records;
}

// The positions of `keys` of `kind`.
template <typename Map> std::set<int> positionsOf(const Map& keys, Kind kind) {
    std::set<int> positions;
    for (const auto& [key, value] : keys)
        if (key.first == kind)
            positions.insert(key.second);
    return positions;
}

} // namespace

ImageDocument::ImageDocument(files::SysIo& io, std::string path)
    : m_io(io), m_path(std::move(path)) {
    for (const RecordKind* kind : recordKinds())
        m_tables.push_back({kind, std::nullopt, std::nullopt, false, {}});
}

base::Status ImageDocument::checkImage(files::SysIo& io, const std::string& path) {
    const base::Result<const nds::GameEdition*> found = nds::identifyImage(io, path);
    if (!found.ok())
        return found.error();
    return {};
}

void ImageDocument::keep(const files::OpenNotes& notes) {
    m_notes.recoveries.insert(m_notes.recoveries.end(), notes.recoveries.begin(),
                              notes.recoveries.end());
    m_notes.unlocked = m_notes.unlocked || notes.unlocked;
    m_notes.links = notes.links;
}

files::OpenNotes ImageDocument::takeNotes() {
    files::OpenNotes taken = m_notes;
    m_notes.recoveries.clear();
    m_notes.unlocked = false;
    return taken;
}

base::Status ImageDocument::makeWritable() {
    return files::makeOwnerWritable(m_io, m_path);
}

int ImageDocument::listen(std::function<void(const std::vector<int>&)> heard) {
    m_listeners.emplace(m_nextListener, std::move(heard));
    return m_nextListener++;
}

void ImageDocument::unlisten(int listener) {
    m_listeners.erase(listener);
}

void ImageDocument::tell(const std::vector<int>& positions) const {
    // A listener may stop listening as it hears: each is called from a copy.
    const auto listeners = m_listeners;
    for (const auto& [number, heard] : listeners)
        heard(positions);
}

KindTable& ImageDocument::tableOf(Kind kind) {
    return m_tables[static_cast<std::size_t>(kind)];
}

const KindTable& ImageDocument::table(Kind kind) const {
    return m_tables[static_cast<std::size_t>(kind)];
}

int ImageDocument::entries() const {
    return static_cast<int>(table(Kind::BaseStats).records.size());
}

// ---- Opening and reading ----

base::Result<ImageDocument::Opened> ImageDocument::openImage(files::Access access) {
    base::Result<files::LockedFile> locked =
        files::openLocked(m_io, m_path, access, writableRanges);
    if (!locked.ok())
        return locked.error();
    keep(locked.value().notes);
    Opened opened{std::move(locked.value().file), {}, std::nullopt};
    if (!m_edition) {
        const base::Result<const nds::GameEdition*> found = nds::identifyImage(opened.file);
        if (!found.ok())
            return found.error();
        m_edition = found.value();
    }
    if (base::Status found = findTables(opened); !found.ok())
        return found.error();
    return opened;
}

base::Status ImageDocument::findTables(Opened& opened) const {
    opened.tables.clear();
    // One reading of the file system for every table; a damaged one leaves the image none.
    const base::Result<std::optional<nds::NdsFileSystem>> system =
        readFileSystem(opened.file, findAction(recordKinds().front()->noun(), *m_edition));
    if (!system.ok() && system.error().kind != base::Error::Kind::BadContent)
        return system.error();
    const nds::NdsFileSystem* files = system.ok() && system.value() ? &*system.value() : nullptr;
    // A copy: the tables' vector moves its elements as it grows.
    std::optional<TablePlace> stats;
    for (const RecordKind* kind : recordKinds()) {
        KindTable found{kind, std::nullopt, std::nullopt, false, {}};
        base::Result<TablePlace> place =
            system.ok() ? kind->find(opened.file, *m_edition, files, stats ? &*stats : nullptr)
                        : base::Result<TablePlace>(system.error());
        if (place.ok())
            found.place = std::move(place).value();
        else {
            found.missing = place.error();
            found.refused = files && kind->present(*files, *m_edition);
        }
        opened.tables.push_back(std::move(found));
        // Without its base stats, an image has nothing the program reads.
        if (!stats && !opened.tables.back().place)
            break;
        if (!stats)
            stats = opened.tables.back().place;
    }
    // The kinds not looked for have no table either.
    for (std::size_t k = opened.tables.size(); k < recordKinds().size(); ++k)
        opened.tables.push_back(
            {recordKinds()[k], std::nullopt, opened.tables.front().missing, false, {}});
    if (files)
        opened.fixedBaseHolders = m_edition->hasFixedBase()
                                      ? files->filesHolding(m_edition->recordBase)
                                      : std::vector<nds::FileEntry>();
    return {};
}

base::Status ImageDocument::readMoved(Opened& opened, const std::set<Kind>& kinds) {
    if (kinds.empty())
        return {};
    if (base::Status found = findTables(opened); !found.ok())
        return found;
    for (const Kind kind : kinds) {
        const KindTable& found = opened.table(kind);
        if (!found.place)
            return *found.missing;
        base::Result<std::vector<Record>> read = found.kind->read(opened.file, *found.place);
        if (!read.ok())
            return read.error();
        tableOf(kind).place = found.place;
        tableOf(kind).records = std::move(read).value();
    }
    return {};
}

base::Result<ImageDocument::Opened>
ImageDocument::openToWrite(files::Access fallback, std::optional<base::Error>& unwritable) {
    base::Result<Opened> opened = openImage(files::Access::Write);
    if (opened.ok())
        return opened;
    // A busy image (no error number) is not read either: it is being written.
    const base::Error::Kind kind = opened.error().kind;
    const bool readable = kind == base::Error::Kind::Refused ||
                          (kind == base::Error::Kind::System && opened.error().systemError != 0);
    if (!readable)
        return opened;
    unwritable = opened.error();
    return openImage(fallback);
}

base::Result<std::vector<int>> ImageDocument::readTables(Opened& opened, bool keepEdited) {
    std::set<int> changed;
    bool reshaped = false;
    for (KindTable& found : opened.tables) {
        KindTable& mine = tableOf(found.kind->kind());
        std::vector<Record> records;
        if (found.place) {
            base::Result<std::vector<Record>> read = found.kind->read(opened.file, *found.place);
            if (!read.ok())
                return read.error();
            records = std::move(read).value();
        }
        if (records.size() != mine.records.size() ||
            found.place.has_value() != mine.place.has_value()) {
            reshaped = true;
        } else {
            for (std::size_t position = 0; position < records.size(); ++position) {
                // An entry with edits not saved keeps the records they were made over.
                if (keepEdited && m_pending.count(static_cast<int>(position)))
                    records[position] = mine.records[position];
                if (records[position] != mine.records[position])
                    changed.insert(static_cast<int>(position));
            }
        }
        mine = {found.kind, found.place, found.missing, found.refused, std::move(records)};
    }
    // Positions that changed, or none (all of them) when a table came or went.
    if (reshaped)
        return std::vector<int>();
    if (changed.empty())
        return std::vector<int>{-1};
    return std::vector<int>(changed.begin(), changed.end());
}

base::Result<ImageReport> ImageDocument::open(files::Access access) {
    base::Result<Opened> opened = openImage(access);
    if (!opened.ok())
        return opened.error();
    const KindTable& stats = opened.value().table(Kind::BaseStats);
    if (!stats.place && stats.missing->kind != base::Error::Kind::BadContent)
        return *stats.missing;
    m_pending.clear();
    m_steps.clear();
    if (base::Result<std::vector<int>> read = readTables(opened.value(), false); !read.ok())
        return read.error();
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    tell({});
    return ImageReport{m_edition, m_tables, opened.value().fixedBaseHolders};
}

base::Result<TablePlace> ImageDocument::reload(int position) {
    base::Result<Opened> opened = openImage(files::Access::Read);
    if (!opened.ok())
        return opened.error();
    const base::Result<TablePlace> stats = opened.value().stats();
    if (!stats.ok())
        return stats.error();
    std::vector<std::pair<Kind, Record>> read;
    for (const KindTable& found : opened.value().tables) {
        if (!found.place)
            continue;
        base::Result<Record> record =
            found.kind->readOne(opened.value().file, *found.place, position);
        if (!record.ok())
            return record.error();
        read.emplace_back(found.kind->kind(), std::move(record).value());
    }
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    // Another tool may have given the image a table it lacked, or taken one away.
    for (const KindTable& found : opened.value().tables) {
        KindTable& mine = tableOf(found.kind->kind());
        const bool same = found.place.has_value() == mine.place.has_value() &&
                          (!found.place || found.place->entries == mine.place->entries);
        if (!same) {
            if (base::Status all = reloadAll(); !all.ok())
                return all.error();
            return stats;
        }
        mine.place = found.place;
    }
    bool changed = false;
    if (!hasPending(position))
        for (auto& [kind, record] : read) {
            std::vector<Record>& records = tableOf(kind).records;
            if (static_cast<std::size_t>(position) >= records.size() ||
                records[static_cast<std::size_t>(position)] == record)
                continue;
            records[static_cast<std::size_t>(position)] = std::move(record);
            changed = true;
        }
    if (changed)
        tell({position});
    return stats;
}

base::Status ImageDocument::reloadAll() {
    base::Result<Opened> opened = openImage(files::Access::Read);
    if (!opened.ok())
        return opened.error();
    const base::Result<std::vector<int>> changed = readTables(opened.value(), true);
    if (!changed.ok())
        return changed.error();
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed;
    // The views hear of what changed, and of nothing when nothing did (the program's own save).
    if (changed.value() != std::vector<int>{-1})
        tell(changed.value());
    return {};
}

// ---- What the document shows ----

Value ImageDocument::diskValue(int position, Field field) const {
    const KindTable& found = table(kindOf(field));
    if (position < 0 || static_cast<std::size_t>(position) >= found.records.size())
        return 0;
    return found.records[static_cast<std::size_t>(position)].value(field);
}

Value ImageDocument::value(int position, Field field) const {
    if (const auto entry = m_pending.find(position); entry != m_pending.end())
        if (const auto edited = entry->second.find(field); edited != entry->second.end())
            return edited->second;
    return diskValue(position, field);
}

Record ImageDocument::record(int position, Kind kind) const {
    const KindTable& found = table(kind);
    if (position < 0 || static_cast<std::size_t>(position) >= found.records.size())
        return {};
    Record shown = found.records[static_cast<std::size_t>(position)];
    if (const auto entry = m_pending.find(position); entry != m_pending.end())
        for (const auto& [field, value] : entry->second)
            if (kindOf(field) == kind)
                shown.set(field, value);
    return shown;
}

std::vector<Record> ImageDocument::records(Kind kind) const {
    std::vector<Record> shown = table(kind).records;
    for (const auto& [position, fields] : m_pending)
        for (const auto& [field, value] : fields)
            if (kindOf(field) == kind && static_cast<std::size_t>(position) < shown.size())
                shown[static_cast<std::size_t>(position)].set(field, value);
    return shown;
}

Tables ImageDocument::tables() const {
    Tables shown;
    for (const KindTable& found : m_tables)
        if (found.place)
            shown.emplace(found.kind->kind(), records(found.kind->kind()));
    return shown;
}

// ---- Edits not saved ----

Change ImageDocument::changeTo(int position, Field field, Value value) const {
    return {position, field, diskValue(position, field), std::move(value)};
}

std::vector<std::string> ImageDocument::stage(const std::vector<Change>& changes, bool asStep) {
    // Each entry's record of each kind, as it would be, judged whole.
    std::map<std::pair<Kind, int>, Record> edited;
    std::map<std::pair<Kind, int>, std::vector<Change>> given;
    std::vector<std::string> refused;
    for (const Change& change : changes) {
        const Kind kind = kindOf(change.field);
        const KindTable& found = table(kind);
        if (change.position < 0 ||
            static_cast<std::size_t>(change.position) >= found.records.size()) {
            refused.push_back(
                vocabulary::entryLabel(change.position) + ": " +
                (found.records.empty()
                     ? "the image has no " + std::string(found.kind->noun())
                     : "the image has no entry at position " + std::to_string(change.position)));
            continue;
        }
        const auto [at, fresh] = edited.try_emplace({kind, change.position});
        if (fresh)
            at->second = record(change.position, kind);
        at->second.set(change.field, change.after);
        given[{kind, change.position}].push_back(change);
    }
    for (auto& [key, after] : edited) {
        const auto& [kind, position] = key;
        const RecordKind& descriptor = recordKind(kind);
        const Record& before = table(kind).records[static_cast<std::size_t>(position)];
        descriptor.complete(before, after);
        std::vector<std::string> reasons;
        for (const Refusal& refusal :
             descriptor.refusals(position, before, after, given[key], m_edition->game))
            if (std::find(reasons.begin(), reasons.end(), refusal.reason) == reasons.end())
                reasons.push_back(refusal.reason);
        for (const std::string& reason : reasons)
            refused.push_back(vocabulary::entryLabel(position) + ": " + reason);
    }
    if (!refused.empty() || edited.empty())
        return refused;
    std::vector<Undone> step;
    std::vector<int> positions;
    for (const auto& [key, after] : edited) {
        const auto& [kind, position] = key;
        const Record& before = table(kind).records[static_cast<std::size_t>(position)];
        std::map<Field, Value>& fields = m_pending[position];
        for (const FieldDescriptor& field : recordKind(kind).fields()) {
            Value now = after.value(field.field);
            const auto edit = fields.find(field.field);
            std::optional<Value> was =
                edit == fields.end() ? std::nullopt : std::optional<Value>(edit->second);
            const bool differs = now != before.value(field.field);
            if (was == (differs ? std::optional<Value>(now) : std::nullopt))
                continue;
            step.push_back({position, field.field, std::move(was)});
            if (differs)
                fields[field.field] = std::move(now);
            else
                fields.erase(field.field);
        }
        if (fields.empty())
            m_pending.erase(position);
        positions.push_back(position);
    }
    if (asStep && !step.empty())
        m_steps.push_back(std::move(step));
    tell(positions);
    return refused;
}

bool ImageDocument::undoStep() {
    if (m_steps.empty())
        return false;
    const std::vector<Undone> step = std::move(m_steps.back());
    m_steps.pop_back();
    std::vector<int> positions;
    for (auto undone = step.rbegin(); undone != step.rend(); ++undone) {
        if (undone->value)
            m_pending[undone->position][undone->field] = *undone->value;
        else if (const auto entry = m_pending.find(undone->position); entry != m_pending.end()) {
            entry->second.erase(undone->field);
            if (entry->second.empty())
                m_pending.erase(entry);
        }
        positions.push_back(undone->position);
    }
    tell(positions);
    return true;
}

void ImageDocument::discard(const std::set<int>& positions) {
    std::vector<int> dropped;
    for (const int position : positions)
        if (m_pending.erase(position) > 0)
            dropped.push_back(position);
    // A step that named a dropped entry can no longer be taken back as it was.
    if (!dropped.empty())
        m_steps.clear();
    tell(dropped);
}

void ImageDocument::discardAll() {
    std::vector<int> dropped;
    for (const auto& [position, fields] : m_pending)
        dropped.push_back(position);
    m_pending.clear();
    m_steps.clear();
    tell(dropped);
}

std::vector<Change> ImageDocument::pending() const {
    std::vector<Change> changes;
    for (const auto& [position, fields] : m_pending)
        for (const auto& [field, value] : fields)
            changes.push_back({position, field, diskValue(position, field), value});
    return changes;
}

std::vector<Change> ImageDocument::pending(const std::set<int>& positions) const {
    std::vector<Change> changes;
    for (const Change& change : pending())
        if (positions.count(change.position))
            changes.push_back(change);
    return changes;
}

std::set<int> ImageDocument::pendingEntries() const {
    std::set<int> positions;
    for (const auto& [position, fields] : m_pending)
        positions.insert(position);
    return positions;
}

bool ImageDocument::hasPending(int position) const {
    return m_pending.count(position) > 0;
}

// ---- Writing ----

base::Result<SaveOutcome> ImageDocument::write(Opened& opened, std::span<const Change> batch,
                                               const std::string& label) {
    const base::Result<TablePlace> stats = opened.stats();
    if (!stats.ok())
        return stats.error();
    SaveOutcome outcome;
    outcome.place = stats.value();
    // The changes of each kind, and the records their entries hold now.
    std::map<Kind, std::vector<Change>> byKind;
    std::map<std::pair<Kind, int>, Record> now;
    for (const Change& change : batch) {
        const Kind kind = kindOf(change.field);
        const KindTable& found = opened.table(kind);
        if (!found.place) {
            base::Error error = *found.missing;
            error.reason += "; nothing was written";
            return error;
        }
        byKind[kind].push_back(change);
    }
    for (const auto& [kind, changes] : byKind) {
        std::set<int> positions;
        for (const Change& change : changes)
            positions.insert(change.position);
        base::Result<std::map<int, Record>> read =
            readRecords(opened.file, opened.table(kind), positions);
        if (!read.ok())
            return read.error();
        for (auto& [position, record] : read.value())
            now.emplace(std::pair(kind, position), std::move(record));
    }
    for (const auto& [key, record] : now) {
        const auto& [kind, position] = key;
        const std::vector<Record>& read = table(kind).records;
        if (static_cast<std::size_t>(position) >= read.size() ||
            read[static_cast<std::size_t>(position)] == record)
            continue;
        outcome.conflict = true;
        outcome.onDisk.emplace(key, record);
        const std::vector<Change> theirs = changesOf(
            position, read[static_cast<std::size_t>(position)], record, recordKind(kind).fields());
        outcome.theirs.insert(outcome.theirs.end(), theirs.begin(), theirs.end());
    }
    if (outcome.conflict)
        return outcome;
    std::vector<files::Rewrite> spans;
    std::int64_t length = 0;
    std::set<Kind> relocated;
    for (const auto& [kind, changes] : byKind) {
        const KindTable& found = opened.table(kind);
        base::Result<KindWrite> made = found.kind->rewrites(opened.file, *found.place, changes);
        if (!made.ok())
            return made.error();
        spans.insert(spans.end(), made.value().spans.begin(), made.value().spans.end());
        length = std::max(length, made.value().length);
        if (made.value().relocates)
            relocated.insert(kind);
    }
    const std::int64_t before = opened.file.size();
    if (base::Status written = files::rewriteWithJournal(opened.file, spans, label, length);
        !written.ok())
        return written.error();
    // A table made anew is read where it lies now, every record of it.
    if (base::Status moved = readMoved(opened, relocated); !moved.ok())
        return moved.error();

    // What the disk holds now, read back, is what the entries show.
    std::map<std::pair<Kind, int>, Record> after;
    for (const auto& [kind, changes] : byKind) {
        base::Result<std::map<int, Record>> read =
            readRecords(opened.file, opened.table(kind), positionsOf(now, kind));
        if (!read.ok())
            return read.error();
        for (auto& [position, record] : read.value())
            after.emplace(std::pair(kind, position), std::move(record));
    }
    std::vector<int> positions;
    for (const Change& change : batch) {
        const std::pair key(kindOf(change.field), change.position);
        outcome.written.push_back({change.position, change.field, now.at(key).value(change.field),
                                   after.at(key).value(change.field)});
        if (const auto entry = m_pending.find(change.position); entry != m_pending.end()) {
            entry->second.erase(change.field);
            if (entry->second.empty())
                m_pending.erase(entry);
        }
        positions.push_back(change.position);
    }
    for (const auto& [key, record] : after)
        if (static_cast<std::size_t>(key.second) < tableOf(key.first).records.size())
            tableOf(key.first).records[static_cast<std::size_t>(key.second)] = record;
    m_steps.clear();
    m_lastSave = {std::move(spans), outcome.written,    std::move(after),
                  before,           opened.file.size(), std::move(relocated)};
    tell(positions);
    return outcome;
}

base::Result<SaveOutcome> ImageDocument::save(std::span<const Change> batch,
                                              const std::string& label) {
    if (batch.empty())
        return SaveOutcome{};
    base::Result<Opened> opened = openImage(files::Access::Write);
    if (!opened.ok())
        return opened.error();
    base::Result<SaveOutcome> outcome = write(opened.value(), batch, label);
    if (!outcome.ok())
        return outcome;
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    return outcome;
}

std::string ImageDocument::layoutChange(const std::vector<Change>& batch) const {
    std::map<Kind, std::vector<Change>> byKind;
    for (const Change& change : batch)
        byKind[kindOf(change.field)].push_back(change);
    for (const auto& [kind, changes] : byKind)
        if (std::string said = recordKind(kind).layoutChange(table(kind).records, changes);
            !said.empty())
            return said;
    return {};
}

void ImageDocument::takeFromDisk(const SaveOutcome& conflict) {
    std::vector<int> positions;
    for (const auto& [key, record] : conflict.onDisk) {
        std::vector<Record>& records = tableOf(key.first).records;
        if (static_cast<std::size_t>(key.second) < records.size())
            records[static_cast<std::size_t>(key.second)] = record;
        positions.push_back(key.second);
    }
    tell(positions);
}

base::Result<SaveOutcome> ImageDocument::undo(const std::string& label, bool overwrite) {
    if (m_lastSave.changes.empty())
        return base::Error::failed(base::Error::Kind::Usage, "undo the last save of", m_path,
                                   "nothing was saved since the image was opened");
    base::Result<Opened> opened = openImage(files::Access::Write);
    if (!opened.ok())
        return opened.error();
    files::OpenFile& file = opened.value().file;
    SaveOutcome outcome;
    if (const base::Result<TablePlace> stats = opened.value().stats(); stats.ok())
        outcome.place = stats.value();
    // The image must hold what the save wrote: its records, and every byte of its spans.
    std::map<std::pair<Kind, int>, Record> read;
    for (const RecordKind* kind : recordKinds()) {
        const std::set<int> positions = positionsOf(m_lastSave.written, kind->kind());
        const KindTable& found = opened.value().table(kind->kind());
        if (positions.empty() || !found.place)
            continue;
        base::Result<std::map<int, Record>> records = readRecords(file, found, positions);
        if (!records.ok())
            return records.error();
        for (auto& [position, record] : records.value())
            read.emplace(std::pair(kind->kind(), position), std::move(record));
    }
    std::map<std::pair<Kind, int>, Record> now;
    for (const auto& [key, written] : m_lastSave.written) {
        const KindTable& found = opened.value().table(key.first);
        const auto there = read.find(key);
        if (!found.place || there == read.end()) {
            outcome.conflict = true;
            continue;
        }
        base::Result<Record> record = there->second;
        if (record.value() != written) {
            outcome.conflict = true;
            outcome.onDisk.emplace(key, record.value());
            const std::vector<Change> theirs =
                changesOf(key.second, written, record.value(), found.kind->fields());
            outcome.theirs.insert(outcome.theirs.end(), theirs.begin(), theirs.end());
        }
        now.emplace(key, std::move(record).value());
    }
    std::vector<files::Rewrite> back;
    for (const files::Rewrite& span : m_lastSave.spans) {
        const auto length = static_cast<std::int64_t>(span.after.size());
        base::Result<files::Bytes> bytes = span.offset + length <= file.size()
                                               ? file.read(span.offset, length)
                                               : base::Result<files::Bytes>(files::Bytes{});
        if (!bytes.ok())
            return bytes.error();
        outcome.conflict = outcome.conflict || bytes.value() != span.after;
        // What the save added past the image's old end goes with the length it added.
        if (span.offset < m_lastSave.lengthBefore && bytes.value().size() == span.after.size())
            back.push_back({span.offset, std::move(bytes).value(), span.before});
    }
    outcome.conflict = outcome.conflict || file.size() != m_lastSave.lengthAfter;
    if (outcome.conflict && !overwrite)
        return outcome;
    outcome.conflict = false;
    const std::int64_t length =
        m_lastSave.lengthAfter > m_lastSave.lengthBefore ? m_lastSave.lengthBefore : 0;
    if (base::Status written = files::rewriteWithJournal(file, back, label, length); !written.ok())
        return written.error();
    // The table the save made anew lies where it lay before again.
    if (base::Status moved = readMoved(opened.value(), m_lastSave.relocated); !moved.ok())
        return moved.error();
    std::map<std::pair<Kind, int>, Record> undone;
    for (const RecordKind* kind : recordKinds()) {
        const std::set<int> positions = positionsOf(now, kind->kind());
        if (positions.empty())
            continue;
        base::Result<std::map<int, Record>> records =
            readRecords(file, opened.value().table(kind->kind()), positions);
        if (!records.ok())
            return records.error();
        for (auto& [position, record] : records.value())
            undone.emplace(std::pair(kind->kind(), position), std::move(record));
    }
    std::vector<int> positions;
    for (const auto& [key, was] : now) {
        const Record& record = undone.at(key);
        const std::vector<Change> changed =
            changesOf(key.second, was, record, recordKind(key.first).fields());
        outcome.written.insert(outcome.written.end(), changed.begin(), changed.end());
        if (static_cast<std::size_t>(key.second) < tableOf(key.first).records.size())
            tableOf(key.first).records[static_cast<std::size_t>(key.second)] = record;
        positions.push_back(key.second);
    }
    sortChanges(outcome.written);
    if (base::Status closed = file.close(); !closed.ok())
        return closed.error();
    m_lastSave = {};
    tell(positions);
    return outcome;
}

base::Result<std::vector<Change>> ImageDocument::modify(const Planner& plan, const Confirm& confirm,
                                                        const std::string& label, bool dryRun) {
    std::optional<base::Error> unwritable;
    base::Result<Opened> opened =
        dryRun ? openImage(files::Access::Inspect) : openToWrite(files::Access::Read, unwritable);
    if (!opened.ok())
        return opened.error();
    if (const base::Result<TablePlace> stats = opened.value().stats(); !stats.ok())
        return stats.error();
    m_pending.clear();
    m_steps.clear();
    if (base::Result<std::vector<int>> read = readTables(opened.value(), false); !read.ok())
        return read.error();
    base::Result<std::vector<Change>> changes = plan(*this);
    if (!changes.ok() || dryRun || changes.value().empty())
        return changes;
    if (base::Status confirmed = confirm(changes.value()); !confirmed.ok())
        return confirmed.error();
    if (unwritable)
        return *unwritable;
    // Read under the same lock a moment ago: the entries hold what they were read as.
    const base::Result<SaveOutcome> written = write(opened.value(), changes.value(), label);
    if (!written.ok())
        return written.error();
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    return changes;
}

} // namespace species
