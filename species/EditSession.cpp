#include "EditSession.h"

#include "RecordStore.h"

#include "FileAccess.h"
#include "Identification.h"

#include <set>

namespace species {

// An image open for one operation, its game identified, and its table found or not.
struct EditSession::Opened {
    files::OpenFile file;
    std::optional<TablePlace> place;
    std::optional<base::Error> tableProblem;
    std::optional<TablePlace> evolutions;
    std::optional<base::Error> noEvolutions;

    // Where the image keeps its records; call only when the table was found.
    [[nodiscard]] Tables tables() const { return {*place, evolutions}; }

    // The table's place, or why there is none.
    [[nodiscard]] base::Result<TablePlace> table() const {
        if (place)
            return *place;
        return *tableProblem;
    }
};

EditSession::EditSession(files::SysIo& io, std::string path) : m_io(io), m_path(std::move(path)) {
}

base::Status EditSession::checkImage(files::SysIo& io, const std::string& path) {
    const base::Result<const nds::GameEdition*> found = nds::identifyImage(io, path);
    if (!found.ok())
        return found.error();
    return {};
}

void EditSession::keep(const files::OpenNotes& notes) {
    m_notes.recoveries.insert(m_notes.recoveries.end(), notes.recoveries.begin(),
                              notes.recoveries.end());
    m_notes.unlocked = m_notes.unlocked || notes.unlocked;
    m_notes.links = notes.links;
}

files::OpenNotes EditSession::takeNotes() {
    files::OpenNotes taken = m_notes;
    m_notes.recoveries.clear();
    m_notes.unlocked = false;
    return taken;
}

base::Result<EditSession::Opened> EditSession::open(files::Access access) {
    base::Result<files::LockedFile> locked =
        files::openLocked(m_io, m_path, access, writableRanges);
    if (!locked.ok())
        return locked.error();
    keep(locked.value().notes);
    files::OpenFile& file = locked.value().file;
    if (!m_edition) {
        const base::Result<const nds::GameEdition*> found = nds::identifyImage(file);
        if (!found.ok())
            return found.error();
        m_edition = found.value();
    }
    base::Result<TablePlace> place = findTable(file, *m_edition);
    Opened opened{std::move(file), std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    if (!place.ok()) {
        opened.tableProblem = place.error();
        return opened;
    }
    opened.place = std::move(place).value();
    base::Result<TablePlace> evolutions =
        findEvolutions(opened.file, *m_edition, opened.place->entries);
    if (evolutions.ok())
        opened.evolutions = std::move(evolutions).value();
    else
        opened.noEvolutions = evolutions.error();
    return opened;
}

base::Result<EditSession::Opened> EditSession::openToWrite(files::Access fallback,
                                                           std::optional<base::Error>& unwritable) {
    base::Result<Opened> opened = open(files::Access::Write);
    if (opened.ok())
        return opened;
    // A busy image (no error number) is not read either: it is being written.
    const base::Error::Kind kind = opened.error().kind;
    const bool readable = kind == base::Error::Kind::Refused ||
                          (kind == base::Error::Kind::System && opened.error().systemError != 0);
    if (!readable)
        return opened;
    unwritable = opened.error();
    return open(fallback);
}

base::Result<ImageReport> EditSession::examine() {
    base::Result<Opened> opened = open(files::Access::Read);
    if (!opened.ok())
        return opened.error();
    Opened& image = opened.value();
    if (image.tableProblem && image.tableProblem->kind != base::Error::Kind::BadContent)
        return *image.tableProblem;
    ImageReport report{m_edition,        image.place, image.tableProblem, std::nullopt,
                       image.evolutions, {},          image.noEvolutions};
    if (image.evolutions) {
        base::Result<std::vector<Record>> evolutions = readEntries(image.file, *image.evolutions);
        if (!evolutions.ok())
            return evolutions.error();
        report.evolutions = std::move(evolutions).value();
    }
    const base::Result<std::optional<nds::NdsFileSystem>> system =
        nds::NdsFileSystem::read(image.file);
    if (system.ok() && system.value()) {
        report.fixedBaseHolders = m_edition->hasFixedBase()
                                      ? system.value()->filesHolding(m_edition->recordBase)
                                      : std::vector<nds::FileEntry>();
        report.evolutionsRefused =
            image.noEvolutions && system.value()->find(evolutionArchive(m_edition->game)).ok();
    }
    if (base::Status closed = image.file.close(); !closed.ok())
        return closed.error();
    return report;
}

base::Result<EntryRead> EditSession::readEntry(int position) {
    base::Result<Opened> opened = open(files::Access::Read);
    if (!opened.ok())
        return opened.error();
    const base::Result<TablePlace> place = opened.value().table();
    if (!place.ok())
        return place.error();
    base::Result<Record> record = species::readEntry(opened.value().file, place.value(), position);
    if (!record.ok())
        return record.error();
    EntryRead read{record.value(), place.value(), std::nullopt, opened.value().noEvolutions};
    if (opened.value().evolutions) {
        base::Result<Record> evolutions =
            species::readEntry(opened.value().file, *opened.value().evolutions, position);
        if (!evolutions.ok())
            return evolutions.error();
        read.evolutions = evolutions.value();
    }
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    return read;
}

base::Result<TableRead> EditSession::readAll(files::Access access) {
    base::Result<Opened> opened = open(access);
    if (!opened.ok())
        return opened.error();
    base::Result<TableRead> table = readTables(opened.value());
    if (!table.ok())
        return table.error();
    if (base::Status closed = opened.value().file.close(); !closed.ok())
        return closed.error();
    return table;
}

base::Result<TableRead> EditSession::readTables(Opened& opened) {
    if (const base::Result<TablePlace> place = opened.table(); !place.ok())
        return place.error();
    base::Result<std::vector<Record>> entries = readEntries(opened.file, *opened.place);
    if (!entries.ok())
        return entries.error();
    TableRead table{*opened.place, std::move(entries).value(), {}, opened.noEvolutions};
    if (opened.evolutions) {
        base::Result<std::vector<Record>> evolutions = readEntries(opened.file, *opened.evolutions);
        if (!evolutions.ok())
            return evolutions.error();
        table.evolutions = std::move(evolutions).value();
    }
    return table;
}

namespace {

// What the entries of `positions` hold now, and those of `readAs` that hold something else.
struct Found {
    std::map<int, Record> now;
    std::vector<std::pair<int, Record>> changed;
};

base::Result<Found> entriesNow(files::OpenFile& file, const TablePlace& place,
                               const std::set<int>& positions, const ReadAs& readAs) {
    Found found;
    std::set<int> all = positions;
    for (const auto& [position, record] : readAs)
        all.insert(position);
    for (const int position : all) {
        base::Result<Record> record = readEntry(file, place, position);
        if (!record.ok())
            return record.error();
        found.now.emplace(position, record.value());
        const auto expected = readAs.find(position);
        if (expected != readAs.end() && expected->second != record.value())
            found.changed.emplace_back(position, record.value());
    }
    return found;
}

} // namespace

namespace {

// The positions that `changes` of the evolution records (or of the base stats) change.
std::set<int> positionsOf(std::span<const Change> changes, bool evolutions) {
    std::set<int> positions;
    for (const Change& change : changes)
        if (isEvolution(change.field) == evolutions)
            positions.insert(change.position);
    return positions;
}

// `record` with the changes of the entry at `position` made.
Record changed(Record record, int position, std::span<const Change> changes, bool evolutions) {
    for (const Change& change : changes)
        if (change.position == position && isEvolution(change.field) == evolutions)
            record.set(change.field, change.after);
    return record;
}

} // namespace

base::Result<WriteOutcome> EditSession::write(std::span<const Change> changes, const ReadAs& readAs,
                                              const std::string& label,
                                              const ReadAs& evolutionsReadAs) {
    base::Result<Opened> opened = open(files::Access::Write);
    if (!opened.ok())
        return opened.error();
    files::OpenFile& file = opened.value().file;
    const base::Result<TablePlace> place = opened.value().table();
    if (!place.ok())
        return place.error();
    const std::set<int> evolved = positionsOf(changes, true);
    std::set<int> positions = positionsOf(changes, false);
    positions.insert(evolved.begin(), evolved.end());
    base::Result<Found> found = entriesNow(file, place.value(), positions, readAs);
    if (!found.ok())
        return found.error();
    if (!evolved.empty() && !opened.value().evolutions)
        return *opened.value().noEvolutions;
    Found evolutions;
    if (opened.value().evolutions && (!evolved.empty() || !evolutionsReadAs.empty())) {
        base::Result<Found> now =
            entriesNow(file, *opened.value().evolutions, evolved, evolutionsReadAs);
        if (!now.ok())
            return now.error();
        evolutions = std::move(now).value();
    }
    WriteOutcome outcome{
        std::move(found.value().changed), std::move(evolutions.changed), {}, place.value()};
    if (outcome.saved()) {
        if (base::Status written = writeChanges(file, opened.value().tables(), changes, label);
            !written.ok())
            return written.error();
        for (const int position : positions) {
            const Record& before = found.value().now.at(position);
            EntryWrite entry{position, before, changed(before, position, changes, false), {}, {}};
            if (evolved.count(position)) {
                entry.evolutionsBefore = evolutions.now.at(position);
                entry.evolutionsAfter = changed(*entry.evolutionsBefore, position, changes, true);
            }
            outcome.written.push_back(entry);
        }
    }
    if (base::Status closed = file.close(); !closed.ok())
        return closed.error();
    if (outcome.saved() && !outcome.written.empty())
        m_lastBatch = outcome.written;
    return outcome;
}

base::Result<std::vector<Change>> EditSession::modify(const Planner& plan, const Confirm& confirm,
                                                      const std::string& label, bool dryRun) {
    std::optional<base::Error> unwritable;
    base::Result<Opened> opened =
        dryRun ? open(files::Access::Inspect) : openToWrite(files::Access::Read, unwritable);
    if (!opened.ok())
        return opened.error();
    files::OpenFile& file = opened.value().file;
    base::Result<TableRead> table = readTables(opened.value());
    if (!table.ok())
        return table.error();
    base::Result<std::vector<Change>> changes = plan(table.value());
    if (!changes.ok() || dryRun || changes.value().empty())
        return changes;
    if (base::Status confirmed = confirm(changes.value()); !confirmed.ok())
        return confirmed.error();
    if (unwritable)
        return *unwritable;
    if (base::Status written = writeChanges(file, opened.value().tables(), changes.value(), label);
        !written.ok())
        return written.error();
    if (base::Status closed = file.close(); !closed.ok())
        return closed.error();
    return changes;
}

base::Result<WriteOutcome> EditSession::undo(const std::string& label, const ReadAs& readAs,
                                             const ReadAs& evolutionsReadAs) {
    if (m_lastBatch.empty())
        return base::Error::failed(base::Error::Kind::Usage, "undo the last save of", m_path,
                                   "nothing was saved since the image was opened");
    ReadAs expected = readAs;
    ReadAs evolutionsExpected = evolutionsReadAs;
    std::vector<Change> changes;
    const auto back = [&](int position, const Record& after, const Record& before,
                          std::span<const FieldDescriptor> fields) {
        for (const FieldDescriptor& field : fields)
            changes.push_back(
                {position, field.field, after.get(field.field), before.get(field.field)});
    };
    for (const EntryWrite& entry : m_lastBatch) {
        if (readAs.empty())
            expected.emplace(entry.position, entry.after);
        back(entry.position, entry.after, entry.before, fieldLayout());
        if (!entry.evolutionsAfter)
            continue;
        if (evolutionsReadAs.empty())
            evolutionsExpected.emplace(entry.position, *entry.evolutionsAfter);
        back(entry.position, *entry.evolutionsAfter, *entry.evolutionsBefore, evolutionLayout());
    }
    base::Result<WriteOutcome> outcome = write(changes, expected, label, evolutionsExpected);
    if (outcome.ok() && outcome.value().saved())
        m_lastBatch.clear();
    return outcome;
}

base::Status EditSession::makeWritable() {
    return files::makeOwnerWritable(m_io, m_path);
}

} // namespace species
