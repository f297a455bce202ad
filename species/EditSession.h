#pragma once

#include "Change.h"
#include "Record.h"
#include "TableLocation.h"

#include "Error.h"
#include "GameEdition.h"
#include "LockedFile.h"
#include "NdsFileSystem.h"
#include "SysIo.h"

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace species {

// What an image holds about its table, as one opening found it.
struct ImageReport {
    const nds::GameEdition* edition = nullptr;
    std::optional<TablePlace> place;         // where the table is, if it was found
    std::optional<base::Error> tableProblem; // why it was not
    // The files of the image's file system that hold the edition's fixed base (none for an
    // edition without one); nothing when the image has no whole file system.
    std::optional<std::vector<nds::FileEntry>> fixedBaseHolders;
    // Its evolution records and where they are, or why it has none.
    std::optional<TablePlace> evolutionPlace;
    std::vector<Record> evolutions;
    std::optional<base::Error> noEvolutions;
    // The image's file system has the evolution archive, but it was refused (damaged, or one
    // file with the base-stat table): a fault of the image, not a table it lacks.
    bool evolutionsRefused = false;
};

// One entry as a read found it, and where its table was.
struct EntryRead {
    Record record;
    TablePlace place;
    std::optional<Record> evolutions;        // its evolution record, where the image has them
    std::optional<base::Error> noEvolutions; // otherwise why not
};

// Every entry as a read found it, and where its table was.
struct TableRead {
    TablePlace place;
    std::vector<Record> entries;             // place.entries of them
    std::vector<Record> evolutions;          // as many, where the image has them; else none
    std::optional<base::Error> noEvolutions; // why the image has none
};

// One entry's records before and after a write.
struct EntryWrite {
    int position = 0;
    Record before;
    Record after;
    std::optional<Record> evolutionsBefore; // where the write changed its evolutions
    std::optional<Record> evolutionsAfter;
};

// What a write of a batch found and did.
struct WriteOutcome {
    // The entries whose records were not what they were read as, with what they hold now:
    // nothing was written. The same for evolution records.
    std::vector<std::pair<int, Record>> changedOnDisk;
    std::vector<std::pair<int, Record>> evolutionsChangedOnDisk;
    // Otherwise every entry written, as it was and as it is now.
    std::vector<EntryWrite> written;
    TablePlace place;

    [[nodiscard]] bool saved() const {
        return changedOnDisk.empty() && evolutionsChangedOnDisk.empty();
    }
};

// The records that entries were read as, by position: a write compares them with the disk.
using ReadAs = std::map<int, Record>;

// Everything the front ends do with one image: open it (identify it, recover it from a leftover
// journal, find its table), read one entry or all, write a batch of changes to one or many
// entries through the journal and the lock, and undo the last batch. Every operation opens the
// image, does its work under one lock and closes it again: no file stays open between them,
// and the table is found afresh each time, as another tool may have moved it. The game found
// at the first opening stays the session's game. Two views of one image share one session.
class EditSession {
public:
    EditSession(files::SysIo& io, std::string path);

    // Whether the file at `path` is an image of a game the program knows, as its header says,
    // or why not; nothing else is read, and nothing written.
    [[nodiscard]] static base::Status checkImage(files::SysIo& io, const std::string& path);

    [[nodiscard]] const std::string& path() const { return m_path; }
    // The image's game; null until an operation has identified it.
    [[nodiscard]] const nds::GameEdition* edition() const { return m_edition; }

    // With one open: identifies the image (an unsupported one is an error), recovers it, and
    // finds its table; a table that cannot be found is reported, not an error.
    [[nodiscard]] base::Result<ImageReport> examine();

    // The record at `position`, with one open.
    [[nodiscard]] base::Result<EntryRead> readEntry(int position);
    // Every record, with one open; `access` Inspect writes nothing, not even a recovery.
    [[nodiscard]] base::Result<TableRead> readAll(files::Access access = files::Access::Read);

    // Writes `changes` in one batch, with one open, locked from reading the table to the last
    // flush, if each entry of `readAs` still holds the record it was read as; otherwise writes
    // nothing and says which entries changed on disk, and what they hold now. A saved batch
    // becomes the one that undo() takes back.
    // Changes of evolution fields go to the evolution records, compared with `evolutionsReadAs`.
    [[nodiscard]] base::Result<WriteOutcome> write(std::span<const Change> changes,
                                                   const ReadAs& readAs, const std::string& label,
                                                   const ReadAs& evolutionsReadAs = {});

    // The changes to make of the table as it is; an error refuses them all.
    using Planner = std::function<base::Result<std::vector<Change>>(const TableRead&)>;
    // The last word before changes are written: an error writes nothing.
    using Confirm = std::function<base::Status(std::span<const Change>)>;
    // Reads every entry, asks `plan` for the changes to make of them, and writes them through
    // `confirm`, all with one open and under one lock, so that no other write comes between
    // the reading and the writing. A dry run reads the image as it is (a leftover journal is an
    // error that says what its recovery would do) and writes nothing; so does a batch without
    // changes. An image that cannot be written is still read and planned for: the error says
    // why only once there are changes to write. The changes planned, written or not.
    [[nodiscard]] base::Result<std::vector<Change>>
    modify(const Planner& plan, const Confirm& confirm, const std::string& label, bool dryRun);

    // The entries that the last saved batch wrote; empty when there is none to undo.
    [[nodiscard]] const std::vector<EntryWrite>& lastBatch() const { return m_lastBatch; }
    // Writes back what the last batch replaced, if its entries hold what it wrote (or what
    // `readAs` gives instead, once the user chose to overwrite another change); once done,
    // there is no batch to undo.
    [[nodiscard]] base::Result<WriteOutcome>
    undo(const std::string& label, const ReadAs& readAs = {}, const ReadAs& evolutionsReadAs = {});

    // Gives the owner write permission if the file lacks it, and says whether writes will be
    // allowed at all.
    [[nodiscard]] base::Status makeWritable();

    // What the openings since the last call found, for the user to hear of: recoveries from
    // journals, a file system without locks, the image's names.
    [[nodiscard]] files::OpenNotes takeNotes();

private:
    struct Opened;
    [[nodiscard]] base::Result<Opened> open(files::Access access);
    [[nodiscard]] base::Result<Opened> openToWrite(files::Access fallback,
                                                   std::optional<base::Error>& unwritable);
    void keep(const files::OpenNotes& notes);
    // Every record of the tables of the open image; an error when its base-stat table is missing.
    [[nodiscard]] base::Result<TableRead> readTables(Opened& opened);

    files::SysIo& m_io;
    std::string m_path;
    const nds::GameEdition* m_edition = nullptr;
    files::OpenNotes m_notes;
    std::vector<EntryWrite> m_lastBatch;
};

} // namespace species
